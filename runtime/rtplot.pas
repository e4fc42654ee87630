{ rtplot: the graphs of a run.

  A GRAPH instruction fills one _Grafico entry (time window, values,
  names, colours, titles) and calls its _graph, which records a point
  while the clock is inside the window.  The points stay in memory;
  rtchart shows and saves them.  Also here: the valued-function tables
  shown for an I/O list (_intigraf, _intigrafa). }
unit rtplot;

{$MODE DELPHI}

interface

uses rtdefs;

const
  _maxgr = 100;      { GRAPH instructions in a model }
  _maxvg = 10;       { values of one graph; 1 is the abscissa }

type
  _TGrafico = object
    _tmig, _tmag: real;                      { time window }
    _fgr1, _fgr2: array[1.._maxvg] of real;  { values of this point }
    _nomv: array[1.._maxvg] of _st80;        { their names }
    _minv, _maxv: array[1.._maxvg] of real;  { axis ranges }
    colv: array[1.._maxvg] of integer;       { colours }
    _tg: _st80;                              { graph title }
    nv: integer;                             { values plotted }
    col: integer;                            { background colour }
    _titul: string;                          { title shown with it }
    _npt: integer;                           { points recorded }
    _pts: array of array of real;            { time, then nv values }
    procedure _graph;
  end;

var
  _Grafico: array[1.._maxgr] of _TGrafico;
  _maxGraphics: integer;   { GRAPH instructions the model has }
  _bnoreal: boolean;       { the function being shown has text abscissas }

procedure CreaGraficos;
procedure CerrarGraficos;
procedure _intigraf(ax: _tpx; ay: _tpy; n, k, cls: integer; const nom: string);
  overload;
procedure _intigrafa(ax: _tpxa; ay: _tpy; n, k, cls: integer;
  const nom: string); overload;
{ Functions whose values are not REAL (a DISC or STAIR of another type):
  their values are an array of the model's own type, so only the
  arguments are shown. }
procedure _intigraf(ax: _tpx; const ay; n, k, cls: integer; const nom: string);
  overload;
procedure _intigrafa(ax: _tpxa; const ay; n, k, cls: integer;
  const nom: string); overload;

implementation

const
  _maxpoints = 100000;

procedure _TGrafico._graph;
var v, m: integer;
begin
  if (time < _tmig) or (time > _tmag) or (_npt >= _maxpoints) then
    Exit;
  m := nv;
  if m > _maxvg then
    m := _maxvg;
  if m < 0 then
    m := 0;
  if _npt >= Length(_pts) then
    SetLength(_pts, 2 * _npt + 16);
  SetLength(_pts[_npt], m + 1);
  _pts[_npt][0] := time;
  for v := 1 to m do
    _pts[_npt][v] := _fgr1[v];
  Inc(_npt);
end;

procedure CreaGraficos;
var g: integer;
begin
  for g := 1 to _maxgr do
  begin
    _Grafico[g]._npt := 0;
    SetLength(_Grafico[g]._pts, 0);
  end;
end;

{ The graphs of a run are written when it ends (rtshell, rtsvg); the
  main program's last call has nothing left to do. }
procedure CerrarGraficos;
begin
end;

function _clsname(cls: integer): string;
begin
  case cls of
    1: Result := 'POLYG';
    2: Result := 'SPLINE';
    3: Result := 'STAIR';
    4: Result := 'DISC';
    5: Result := 'FREQ';
  else
    Result := '?';
  end;
end;

procedure _intigraf(ax: _tpx; ay: _tpy; n, k, cls: integer; const nom: string);
var i: integer;
begin
  writeln('Function ', nom, ' (', _clsname(cls), '), ', n, ' points');
  if (ax = nil) or (ay = nil) then
    Exit;
  for i := 1 to n do
    writeln('  ', ax^[i]: 12: 4, ' ', ay^[i]: 12: 4);
end;

procedure _intigrafa(ax: _tpxa; ay: _tpy; n, k, cls: integer;
  const nom: string);
var i: integer;
begin
  writeln('Function ', nom, ' (', _clsname(cls), '), ', n, ' points');
  if (ax = nil) or (ay = nil) then
    Exit;
  for i := 1 to n do
    writeln('  ', ax^[i]: 12, ' ', ay^[i]: 12: 4);
end;

procedure _intigraf(ax: _tpx; const ay; n, k, cls: integer; const nom: string);
var i: integer;
begin
  writeln('Function ', nom, ' (', _clsname(cls), '), ', n, ' points');
  if ax = nil then
    Exit;
  for i := 1 to n do
    writeln('  ', ax^[i]: 12: 4);
end;

procedure _intigrafa(ax: _tpxa; const ay; n, k, cls: integer;
  const nom: string);
var i: integer;
begin
  writeln('Function ', nom, ' (', _clsname(cls), '), ', n, ' points');
  if ax = nil then
    Exit;
  for i := 1 to n do
    writeln('  ', ax^[i]: 12);
end;

end.
