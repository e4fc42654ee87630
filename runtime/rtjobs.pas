{ rtjobs: --jobs N, the replications of a batch in blocks, each run by
  this same program in a process of its own, then merged.

  Block B runs with --rep, --reps, --seed and --exper as given, into
  OUT/jobs/B (its standard output in out.txt, its errors in err.txt).
  Replication K draws from streams fixed by the seed and K alone, so
  the merged replications.csv, summary.csv and summary.json are byte for
  byte those of one process, and so are the report on standard output
  and MODEL.report.txt: each block's replication reports in order, then
  the summary of them all.  Every block holds at least two replications,
  so graphs carry the replication in their names as in one process;
  they are moved into OUT.  Files the model writes itself stay in the
  block's directory.

  A block that fails stops the others; its errors are shown and its
  exit code is the program's.

  Public: _jobsrun. }
unit rtjobs;

{$MODE DELPHI}

interface

{ Runs the batch of --reps replications in --jobs processes and ends
  the program; returns false, having done nothing, when the batch is
  too small to share (fewer than two replications a block). }
function _jobsrun: boolean;

implementation

uses SysUtils, {$IFDEF UNIX}BaseUnix, termio, {$ENDIF}rtdefs, rtargs, rtresult, rtprog;

type
  _tblock = record
    first, count: longint;
    dir: string;
    pid: longint;
    code: integer;      { exit code, -1 while it runs }
    killed: boolean;    { told to stop because another block failed }
  end;

var
  _blocks: array of _tblock;
  _shown: integer;      { length of the progress line on the screen }

function _selfpath: string;
begin
{$IFDEF UNIX}
  Result := fpReadLink('/proc/self/exe');
  if Result = '' then
{$ENDIF}
    Result := ParamStr(0);
end;

function _blockdir(b: integer): string;
begin
  Result := _resoutpath('jobs' + PathDelim + IntToStr(b + 1));
end;

{$IFDEF UNIX}
function _start(var blk: _tblock; const self: string): boolean;
var args: array of string;
    argv: array of PChar;
    i: integer;
    fd: cint;
    pid: TPid;

  procedure add(const s: string);
  begin
    SetLength(args, Length(args) + 1);
    args[High(args)] := s;
  end;

begin
  Result := false;
  if not ForceDirectories(blk.dir) then
    Exit;
  add(self);
  add('--rep');
  add(IntToStr(blk.first));
  add('--reps');
  add(IntToStr(blk.count));
  add('--seed');
  add(IntToStr(_argseed));
  add('--out');
  add(blk.dir);
  add('--format');
  add('text');
  { the report on standard output is wanted only for the parent's }
  if (_argformat <> _fmttext) or _argquiet then
    add('--quiet');
  if _argexper <> '' then
  begin
    add('--exper');
    add(_argexper);
  end;
  SetLength(argv, Length(args) + 1);
  for i := 0 to High(args) do
    argv[i] := PChar(args[i]);
  argv[Length(args)] := nil;
  pid := FpFork;
  if pid < 0 then
    Exit;
  if pid = 0 then
  begin
    fd := FpOpen(blk.dir + '/out.txt', O_WRONLY or O_CREAT or O_TRUNC, &644);
    if fd >= 0 then
      FpDup2(fd, 1);
    fd := FpOpen(blk.dir + '/err.txt', O_WRONLY or O_CREAT or O_TRUNC, &644);
    if fd >= 0 then
      FpDup2(fd, 2);
    fd := FpOpen('/dev/null', O_RDONLY);
    if fd >= 0 then
      FpDup2(fd, 0);
    FpExecv(PChar(args[0]), @argv[0]);
    FpExit(127);
  end;
  blk.pid := pid;
  blk.code := -1;
  Result := true;
end;
{$ENDIF}

{ Rows of replications.csv the blocks have written so far. }
function _rowsdone: longint;
var b: integer;
    f: text;
    s: string;
begin
  Result := 0;
  for b := 0 to High(_blocks) do
  begin
    AssignFile(f, _blocks[b].dir + PathDelim + 'replications.csv');
    {$I-} Reset(f); {$I+}
    if IOResult <> 0 then
      Continue;
    readln(f, s);
    while not Eof(f) do
    begin
      readln(f, s);
      if s <> '' then
        Inc(Result);
    end;
    CloseFile(f);
  end;
end;

procedure _progress(done: boolean);
var line: string;
begin
  if done then
    line := ''
  else
    line := Format('replications %d/%d in %d processes',
      [_rowsdone, _argreps, Length(_blocks)]);
  _progshow(line, _shown);
end;

{ The lines of a block's file before its summary: the last section (a
  blank line, then 'TALVEN summary  TITLE', to the end; no blank line
  inside).  Streamed: only the section since the last blank line waits. }
procedure _copyreport(const name: string; var dest: text);
var f: text;
    buf: array[0..65535] of char;
    held: array of string;
    n, i: longint;
    s: string;
begin
  AssignFile(f, name);
  SetTextBuf(f, buf, SizeOf(buf));
  {$I-} Reset(f); {$I+}
  if IOResult <> 0 then
    Exit;
  n := 0;
  SetLength(held, 64);
  while not Eof(f) do
  begin
    readln(f, s);
    if s = '' then
    begin
      for i := 0 to n - 1 do
        writeln(dest, held[i]);
      n := 0;
    end;
    if n = Length(held) then
      SetLength(held, 2 * n);
    held[n] := s;
    Inc(n);
  end;
  CloseFile(f);
  if (n >= 2) and (held[0] = '') and (Copy(held[1], 1, 16) = 'TALVEN summary  ') then
    n := 0;
  for i := 0 to n - 1 do
    writeln(dest, held[i]);
end;

{ The block's graphs into the output directory. }
procedure _movegraphs(const dir: string);
var sr: TSearchRec;
begin
  if FindFirst(dir + PathDelim + _resmodel + '.graph*', faAnyFile, sr) = 0 then
  begin
    repeat
      RenameFile(dir + PathDelim + sr.Name, _resoutpath(sr.Name));
    until FindNext(sr) <> 0;
    FindClose(sr);
  end;
end;

procedure _failed(b: integer);
var f: text;
    s: string;
begin
  AssignFile(f, _blocks[b].dir + PathDelim + 'err.txt');
  {$I-} Reset(f); {$I+}
  if IOResult = 0 then
  begin
    while not Eof(f) do
    begin
      readln(f, s);
      writeln(ErrOutput, s);
    end;
    CloseFile(f);
  end;
  writeln(ErrOutput, _progname, ': replications ', _blocks[b].first, ' to ',
    _blocks[b].first + _blocks[b].count - 1, ' (', _blocks[b].dir,
    ') ended with exit code ', _blocks[b].code);
end;

function _jobsrun: boolean;
{$IFDEF UNIX}
var nb, b, o, left, bad: integer;
    size, extra, first: longint;
    self: string;
    files: array of string;
    status: cint;
    pid: TPid;
    show: boolean;
    next: qword;
{$ENDIF}
begin
  Result := false;
{$IFDEF UNIX}
  nb := _argjobs;
  if nb > _argreps div 2 then
    nb := _argreps div 2;
  if nb < 2 then
    Exit;
  self := _selfpath;
  SetLength(_blocks, nb);
  size := _argreps div nb;
  extra := _argreps mod nb;
  first := _argfirst;
  Flush(Output);
  Flush(ErrOutput);
  for b := 0 to nb - 1 do
  begin
    _blocks[b].first := first;
    _blocks[b].count := size + Ord(b < extra);
    _blocks[b].dir := _blockdir(b);
    _blocks[b].pid := 0;
    _blocks[b].code := -1;
    _blocks[b].killed := false;
    first := first + _blocks[b].count;
  end;
  bad := -1;
  left := 0;
  for b := 0 to nb - 1 do
  begin
    if not _start(_blocks[b], self) then
    begin
      writeln(ErrOutput, _progname, ': cannot start a process for ',
        _blocks[b].dir);
      _blocks[b].code := 2;
      bad := b;
      Break;
    end;
    Inc(left);
  end;
  show := _argprogress or (not _argquiet and (IsATTY(2) = 1));
  _shown := 0;
  next := GetTickCount64 + 500;
  while left > 0 do
  begin
    { without a progress line nothing is done until a block ends }
    if show then
      pid := FpWaitPid(-1, @status, WNOHANG)
    else
      pid := FpWaitPid(-1, @status, 0);
    if pid = 0 then
    begin
      Sleep(50);
      if show and (GetTickCount64 >= next) then
      begin
        _progress(false);
        next := GetTickCount64 + 500;
      end;
      Continue;
    end;
    if pid < 0 then
      if fpgeterrno = ESysEINTR then
        Continue
      else
        Break;
    for b := 0 to nb - 1 do
      if _blocks[b].pid = pid then
      begin
        Dec(left);
        if WIFEXITED(status) then
          _blocks[b].code := WEXITSTATUS(status)
        else
          _blocks[b].code := 128 + WTERMSIG(status);
        if (_blocks[b].code <> 0) and (bad < 0) then
        begin
          bad := b;
          { the others would only be thrown away }
          for o := 0 to nb - 1 do
            if (_blocks[o].code = -1) and (_blocks[o].pid > 0) then
            begin
              FpKill(_blocks[o].pid, SIGTERM);
              _blocks[o].killed := true;
            end;
        end;
      end;
  end;
  if show then
    _progress(true);
  if bad >= 0 then
  begin
    { the first block in order that failed of itself }
    for b := nb - 1 downto 0 do
      if (_blocks[b].code <> 0) and not (_blocks[b].killed
        and (_blocks[b].code = 128 + SIGTERM)) then
        bad := b;
    _failed(bad);
    Halt(_blocks[bad].code);
  end;
  SetLength(files, nb);
  for b := 0 to nb - 1 do
  begin
    files[b] := _blocks[b].dir + PathDelim + 'replications.csv';
    _copyreport(_blocks[b].dir + PathDelim + _resmodel + '.report.txt', _ars);
    if (_argformat = _fmttext) and not _argquiet then
      _copyreport(_blocks[b].dir + PathDelim + 'out.txt', Output);
    _movegraphs(_blocks[b].dir);
  end;
  if not _resmerge(files) then
    Halt(2);
  Halt(0);
{$ENDIF}
end;

end.
