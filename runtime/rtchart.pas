{ rtchart: the graph windows, as text.

  Shows what rtplot recorded for a graph (ranges of each value) and
  saves its points as columns, one line per point. }
unit rtchart;

{$MODE DELPHI}

interface

uses rtdefs, rtplot;

procedure CloseWindow; overload;
procedure CloseWindow(g: integer); overload;
procedure _ChartShow(g: integer);
procedure _ChartSave(g: integer; const fname: string);

implementation

var
  _shown: array[1.._maxgr] of boolean;

procedure CloseWindow;
var g: integer;
begin
  for g := 1 to _maxgr do
    _shown[g] := false;
end;

procedure CloseWindow(g: integer);
begin
  if (g >= 1) and (g <= _maxgr) then
    _shown[g] := false;
end;

procedure _ChartShow(g: integer);
var v, p, m: integer;
    lo, hi, x: real;
begin
  if (g < 1) or (g > _maxgr) then
    Exit;
  _shown[g] := true;
  with _Grafico[g] do
  begin
    writeln('Graph ', g, ' ', _tg, ' ', _titul);
    writeln('  ', _npt, ' points from ', _tmig: 0: 3, ' to ', _tmag: 0: 3);
    if _npt = 0 then
      Exit;
    m := Length(_pts[0]) - 1;
    for v := 1 to m do
    begin
      lo := MAXREAL;
      hi := -MAXREAL;
      for p := 0 to _npt - 1 do
      begin
        x := _pts[p][v];
        if x < lo then lo := x;
        if x > hi then hi := x;
      end;
      writeln('  ', _nomv[v], ': ', lo: 0: 4, ' .. ', hi: 0: 4);
    end;
  end;
end;

procedure _ChartSave(g: integer; const fname: string);
var f: text;
    p, v: integer;
begin
  if (g < 1) or (g > _maxgr) then
    Exit;
  AssignFile(f, fname);
  Rewrite(f);
  with _Grafico[g] do
    for p := 0 to _npt - 1 do
    begin
      for v := 0 to High(_pts[p]) do
        write(f, _pts[p][v]: 14: 6);
      writeln(f);
    end;
  CloseFile(f);
end;

end.
