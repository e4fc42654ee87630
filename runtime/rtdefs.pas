{ rtdefs: types, shared state and console procedures of the TALVEN
  runtime.

  Every generated file names this unit first, so whatever a model
  declares in pru shadows it.  That is why the shared simulation state
  lives here and not in rtkern: a user name that happens to equal a
  runtime name (EXT, NTREP ...) keeps meaning the user's variable in
  node code, while generated text still finds the runtime variable
  when the model does not redeclare it.

  The _hk* variables are the kernel's view of the model tables.  They
  point at runtime-owned storage until rtmodel binds them to the tables
  of pru. }
unit rtdefs;

{$MODE DELPHI}

interface

{ first, so that the blocks of a run come from it }
uses rtmem;

const
  MAXREAL = 1.7e38;
  MAXINTEGER = High(Integer);
  MAXWORD = 65535;
  _rtmaxl = 1024;      { lists the runtime keeps by itself when unbound }
  _rtbig = 32767;      { nominal bound of the vector types below }
  _maxpt = 1000;       { points of a valued function (GFUNCTIONS) }
  _maxspl = 10;        { SPLINE functions with coefficient tables }

type
  _st80 = string[80];
  STR80 = string[80];

  { A message: a list cell whose b points to the model's field record. }
  _pl = ^_rmess;
  _rmess = record
    { What the list operations read and write first, so that a message
      taken from the middle of a list reads one cache line of each
      neighbour: the next and the previous message of its list, the
      list that holds it now (0 = none) with a check that lis is the
      kernel's own mark and not what new left there (both kept by rtkern
      only, as prv), the field record, and the pending event whose
      service this message is in, with that event's serial number. }
    p: _pl;              { next message of the same list }
    prv: _pl;
    lis: integer;
    lck: longword;
    b: pointer;          { field record, starts with gt,use,et,xt }
    ev: pointer;
    evs: int64;
    r: integer;          { record type number (node or message number) }
    number: integer;     { serial number given at creation }
    tin: real;           { time it entered that list }
    pas: _pl;            { messages assembled into this one }
    nor: string[12];     { name of the node that created it }
    oix: pointer;        { its place in ORDER's index of the list }
  end;

  { The four standard fields every generated record begins with. }
  _fhead = record
    gt, use, et, xt: real;
  end;
  _pfhead = ^_fhead;

  { Chain of messages found by _sinc for SYNCHRONIZE and ASSEMBLE. }
  _psc = ^_rsc;
  _rsc = record
    p1: _pl;
    p2: _psc;
  end;

  { Node procedures as the main program's _prnod table holds them. }
  _nodo = procedure(ino: integer);
  { The same table seen from pru and the unit files, which cannot see the
    main program: a node in another unit is called through it. }
  _tnodtab = array[1.._rtbig] of _nodo;
  _pnodtab = ^_tnodtab;

  { Point vectors of valued functions; pru declares _xF:_tpx etc. }
  _tvx = array[1.._maxpt] of real;
  _tpx = ^_tvx;
  _tpy = ^_tvx;
  _tvxa = array[1.._maxpt] of string[12];
  _tpxa = ^_tvxa;

  { Views of the model's list tables (pru's _fl, _ll, _l, _la ...). }
  _plvec = array[1.._rtbig] of _pl;
  _pplvec = ^_plvec;
  _livec = array[1.._rtbig] of longint;
  _plivec = ^_livec;
  _pplivec = ^_plivec;
  _rvec = array[1.._rtbig] of real;
  _prvec = ^_rvec;
  _pprvec = ^_prvec;
  _ivec = array[1.._rtbig] of integer;
  _pivec = ^_ivec;
  _pdvec = array[1.._rtbig] of PDouble;
  _ppdvec = ^_pdvec;

  { Frequency tables, same shape as pru's _fr and _df. }
  _tfr = array[1..20, 1..50] of integer;
  _tdf = array[1..20, 1..3] of real;

  { Raised by _error; rtfail reports it. }
  _ERunError = class
    Message: string;
    constructor Create(const s: string);
  end;

  _tfecfun = function(time: real; _m: integer): real;
  _tclfun = function(_nsy: integer): boolean;
  _ttransfer = procedure(_ni: word; _s: pointer);
  _tnewrec = procedure(r: integer; var b: pointer);

var
  _hknod: _pnodtab;  { set to @_prnod by the main program before any event }
  { clock and the current event }
  time, tsim: real;
  _es: boolean;          { end of simulation (ENDSIMUL or empty event list) }
  _ci1: boolean;         { first scan of the nodes after an event }
  _n: integer;           { node of the current event }
  iev: integer;          { instance of the current event }
  evp: integer;          { priority given to scheduled events }
  ino, icopy: integer;
  _n1, _k, _nn, _ievv: integer;
  _swt: boolean;

  { predefined names of the language }
  IT, NT, STAY: real;
  gt, use, et, xt: real;
  o_gt, o_use, o_et, o_xt: real;
  _gt: real;
  EABS, EREL: real;
  NREP, ntrep: integer;
  NUMBER, O_NUMBER: integer;
  NODE, O_NODE, NOR: _st80;
  TITLE: string;
  SYNC, EXTREL, SENT: boolean;
  OUTF: text;
  _outf: string;
  _rundir: string;    { --out: where the files a run writes go ('' the working directory) }
  NSFILE, LST: byte;
  LPT1: text;
  _FF: pointer;
  HEAPORG, HEAPPTR, HEAPEND: pointer;
  PMESS, O_PMESS: _pl;
  WINDOWWIDTH, WINDOWHEIGHT: word;
  _windowsize: boolean;
  MAXSEL: integer;

  { messages in hand and flags of the node skeletons }
  _px, _pu, _pa, _pxs, _pxx, _pas, _pla, _pla1, _plas: _pl;
  _psn: _pl;             { next message of a SCAN, kept before its statement }
  _pc, _fs, _as: _psc;
  _acc, _ac1, _bs, _fre, _sta, _besc, _bsc, _bpt, _aas, _sf: boolean;
  ext: boolean;
  _ks, _imi: integer;
  _min: real;
  _r, _or: integer;      { record type loaded by _exal / _exalo }
  _b, _ob: pointer;      { record loaded by _exal / _exalo }
  _dt, _dta: real;       { step of the continuous nodes }

  { work variables named by generated loops }
  _i, _j, _jc, _i1, _i2, _i3, _i4, _i5, _i6, _i7, _i8, _i9: integer;

  { trace, report and clock }
  _bt, _bftr: boolean;
  _ftra: text;
  _ars: text;
  _nomars: string;
  _bf: boolean;
  _zs: string;
  _hoi, _mii, _sei, _dei: word;
  _tces: real;           { time of the last statistics reset }
  _nevents: int64;       { events taken from the event list }
  _hkprog: procedure;    { called every 1024 events while progress shows }
  _nuno: integer;

  { kernel view of the model; see the unit comment }
  _hkfl, _hkll: _pplvec;
  _hkl, _hklm, _hken: _pplivec;
  _hkla, _hkhc, _hklp, _hktp, _hkmtp, _hktpp: _pprvec;
  _hknl: integer;
  _hkfec: _tfecfun;
  _hky: _prvec;
  _hkyp: _ppdvec;  { the continuous variables' addresses, nil without any }
  _hkore: _pivec;
  _hkneq: integer;
  _hkcl: _tclfun;
  _hkuprv, _hkuprvo, _hkupvr: _ttransfer;
  _hknewr: _tnewrec;
  _hkfr: ^_tfr;
  _hkdf: ^_tdf;
  _rtbound: boolean;     { true once the hooks point into pru }
  _curx, _cury: integer; { cursor kept by GOTOXY for WHEREX, WHEREY }

{ Console procedures of the old Pascal a model may call.  Their names
  are not reserved, so they are declared before pru: a model variable
  of the same name keeps its meaning in node code. }
procedure SOUND(hz: integer);
procedure DELAY(ms: integer);
procedure GOTOXY(x, y: integer);
procedure CLRSCR;
procedure GETTIME(var h, m, s, hs: word);
procedure GETDATE(var y, m, d, dow: word);
procedure OPEN(var f: text); overload;
procedure OPEN(var f: file); overload;
procedure RELEASE(var p);
procedure CLOSEGRAPH;
procedure OUTTEXTXY(x, y: integer; const s: string);

{ A file the model writes (FILE, REPORT), put in the run's --out directory
  unless its name is absolute. }
function _outpath(const name: string): string;

implementation

{ SysUtils has a function Time; nothing below uses the clock. }
uses SysUtils;

function _outpath(const name: string): string;
begin
  if (_rundir = '') or (name = '') or (name[1] in ['/', '\']) or
    ((Length(name) > 1) and (name[2] = ':')) then
    Result := name
  else
    Result := IncludeTrailingPathDelimiter(_rundir) + name;
end;

var
  { runtime-owned list tables used while unbound }
  _sfl, _sll: _pplvec;
  _sl, _slm, _sen: _plivec;
  _sla, _shc, _slp, _stp, _smtp, _stpp: _prvec;

constructor _ERunError.Create(const s: string);
begin
  Message := s;
end;

function _zalloc(n: integer): pointer;
begin
  GetMem(Result, n);
  FillChar(Result^, n, 0);
end;

procedure SOUND(hz: integer);
begin
end;

procedure DELAY(ms: integer);
begin
  if ms > 0 then
    Sleep(ms);
end;

procedure GOTOXY(x, y: integer);
begin
  _curx := x;
  _cury := y;
end;

procedure CLRSCR;
begin
  _curx := 1;
  _cury := 1;
end;

procedure GETTIME(var h, m, s, hs: word);
var ms: word;
begin
  DecodeTime(Now, h, m, s, ms);
  hs := ms div 10;
end;

procedure GETDATE(var y, m, d, dow: word);
begin
  DecodeDate(Date, y, m, d);
  dow := DayOfWeek(Date) - 1;
end;

procedure OPEN(var f: text);
begin
  Reset(f);
end;

procedure OPEN(var f: file);
begin
  Reset(f, 1);
end;

procedure RELEASE(var p);
begin
  { the heap is not kept in marks; nothing to give back }
end;

procedure CLOSEGRAPH;
begin
end;

procedure OUTTEXTXY(x, y: integer; const s: string);
begin
  writeln(s);
end;

procedure _owntables;
begin
  _sfl := _zalloc(_rtmaxl * SizeOf(_pl));
  _sll := _zalloc(_rtmaxl * SizeOf(_pl));
  _sl := _zalloc(_rtmaxl * SizeOf(longint));
  _slm := _zalloc(_rtmaxl * SizeOf(longint));
  _sen := _zalloc(_rtmaxl * SizeOf(longint));
  _sla := _zalloc(_rtmaxl * SizeOf(real));
  _shc := _zalloc(_rtmaxl * SizeOf(real));
  _slp := _zalloc(_rtmaxl * SizeOf(real));
  _stp := _zalloc(_rtmaxl * SizeOf(real));
  _smtp := _zalloc(_rtmaxl * SizeOf(real));
  _stpp := _zalloc(_rtmaxl * SizeOf(real));
  _hkfl := _sfl;
  _hkll := _sll;
  _hkl := @_sl;
  _hklm := @_slm;
  _hken := @_sen;
  _hkla := @_sla;
  _hkhc := @_shc;
  _hklp := @_slp;
  _hktp := @_stp;
  _hkmtp := @_smtp;
  _hktpp := @_stpp;
  _hknl := _rtmaxl;
end;

initialization
  _owntables;
  _curx := 1;
  _cury := 1;
  ntrep := 1;
  WINDOWWIDTH := 640;
  WINDOWHEIGHT := 480;
  EABS := 0.00001;
  EREL := 0.0001;
  _outf := 'REPORT.TXT';
  _nomars := '';
  { trace lines go to the console unless a program reassigns _ftra }
  AssignFile(_ftra, '');
  Rewrite(_ftra);
end.
