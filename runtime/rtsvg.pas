{ rtsvg: the graphs of a run as files.

  Each GRAPH that recorded points becomes NAME.svg, a picture any
  browser or rsvg-convert renders (title, axes with ticks and labels
  in the model's units, one polyline per value in the model's colour,
  a legend), and NAME.csv, its points with a header.  The time axis
  spans the graph's time window, cut to TSIM or the last point; the value axis
  spans the ranges the GRAPH gives its values and every value drawn.

  Public: _svgwrite. }
unit rtsvg;

{$MODE DELPHI}

interface

{ Writes graph g as base.svg and base.csv; false when nothing was
  recorded or a file cannot be written (the message is printed). }
function _svgwrite(g: integer; const base: string): boolean;

implementation

uses SysUtils, Math, rtdefs, rtplot, graphics, rtresult;

const
  _w = 800;           { picture size }
  _h = 500;
  _left = 80;         { plot area inside it }
  _right = 620;
  _top = 50;
  _bottom = 430;

var
  _fs: TFormatSettings;

function _xml(const s: string): string;
var i: integer;
begin
  Result := '';
  for i := 1 to Length(s) do
    case s[i] of
      '&': Result := Result + '&amp;';
      '<': Result := Result + '&lt;';
      '>': Result := Result + '&gt;';
      '"': Result := Result + '&quot;';
      #0..#31: Result := Result + ' ';
    else
      Result := Result + s[i];
    end;
end;

function _px(x: real): string;
begin
  Result := FormatFloat('0.##', x, _fs);
end;

{ #RRGGBB of a colour of the language; white would not show on the
  white page, so it is drawn grey. }
function _rgb(n: integer): string;
var c: TColor;
begin
  if n = 16 then
    n := 9;
  c := _ColorOf(n);
  Result := '#' + IntToHex(c and $FF, 2) + IntToHex((c shr 8) and $FF, 2)
    + IntToHex((c shr 16) and $FF, 2);
end;

{ A tick step of 1, 2 or 5 times a power of ten giving about six ticks. }
function _step(lo, hi: real): real;
var raw, p, f: real;
begin
  raw := (hi - lo) / 6;
  if raw <= 0 then
    Exit(1);
  p := Power(10, Floor(Log10(raw)));
  f := raw / p;
  if f < 1.5 then
    Result := p
  else if f < 3.5 then
    Result := 2 * p
  else if f < 7.5 then
    Result := 5 * p
  else
    Result := 10 * p;
end;

function _label(x, step: real): string;
var d: integer;
begin
  if Abs(x) < step * 1e-9 then
    x := 0;
  d := 0;
  if step < 1 then
    d := Ceil(-Log10(step) - 1e-9);
  Result := FloatToStrF(x, ffFixed, 15, d, _fs);
end;

function _plainname(const s: string): string;
var i: integer;
begin
  Result := Trim(s);
  for i := 1 to Length(Result) do
    if not (Result[i] in ['A'..'Z', 'a'..'z', '0'..'9', '_']) then
      Result[i] := '_';
  if Result = '' then
    Result := 'value';
end;

function _writecsv(g: integer; const name: string): boolean;
var f: text;
    p, v: integer;
    line: string;
begin
  if not _rescreate(f, name) then
    Exit(false);
  with _Grafico[g] do
  begin
    line := _plainname(_nomv[1]);
    for v := 2 to High(_pts[0]) do
      line := line + ',' + _plainname(_nomv[v]);
    writeln(f, line);
    for p := 0 to _npt - 1 do
    begin
      line := _resnum(_pts[p][1]);
      for v := 2 to High(_pts[p]) do
        line := line + ',' + _resnum(_pts[p][v]);
      writeln(f, line);
    end;
  end;
  CloseFile(f);
  Result := true;
end;

function _writesvg(g: integer; const name: string): boolean;
var f: text;
    p, v, m: integer;
    x0, x1, y0, y1, st, t, y: real;
    title, pts: string;

  function sx(x: real): real;
  begin
    Result := _left + (x - x0) / (x1 - x0) * (_right - _left);
  end;

  function sy(y: real): real;
  begin
    Result := _bottom - (y - y0) / (y1 - y0) * (_bottom - _top);
  end;

begin
  if not _rescreate(f, name) then
    Exit(false);
  with _Grafico[g] do
  begin
    m := High(_pts[0]);
    x0 := _tmig;
    x1 := Max(_pts[_npt - 1][1], tsim);
    if x1 > _tmag then
      x1 := _tmag;
    if x1 <= x0 then
      x1 := x0 + 1;
    y0 := MAXREAL;
    y1 := -MAXREAL;
    for v := 2 to m do
    begin
      if _minv[v] < _maxv[v] then
      begin
        y0 := Min(y0, _minv[v]);
        y1 := Max(y1, _maxv[v]);
      end;
      for p := 0 to _npt - 1 do
      begin
        y0 := Min(y0, _pts[p][v]);
        y1 := Max(y1, _pts[p][v]);
      end;
    end;
    if y1 <= y0 then
    begin
      y0 := y0 - 1;
      y1 := y1 + 1;
    end;
    title := Trim(_tg);
    if title = '' then
      title := 'Graph ' + IntToStr(g);
    writeln(f, '<?xml version="1.0" encoding="UTF-8"?>');
    writeln(f, '<svg xmlns="http://www.w3.org/2000/svg" width="', _w,
      '" height="', _h, '" viewBox="0 0 ', _w, ' ', _h, '">');
    writeln(f, '<rect x="0" y="0" width="', _w, '" height="', _h,
      '" fill="white"/>');
    writeln(f, '<text x="', (_left + _right) div 2, '" y="28" ',
      'text-anchor="middle" font-family="sans-serif" font-size="18">',
      _xml(title), '</text>');
    { axes, ticks and grid }
    writeln(f, '<g font-family="sans-serif" font-size="12" fill="black">');
    st := _step(x0, x1);
    t := Ceil(x0 / st - 1e-9) * st;
    while t <= x1 + st * 1e-9 do
    begin
      writeln(f, '<line x1="', _px(sx(t)), '" y1="', _top, '" x2="',
        _px(sx(t)), '" y2="', _bottom, '" stroke="#e0e0e0"/>');
      writeln(f, '<line x1="', _px(sx(t)), '" y1="', _bottom, '" x2="',
        _px(sx(t)), '" y2="', _bottom + 6, '" stroke="black"/>');
      writeln(f, '<text x="', _px(sx(t)), '" y="', _bottom + 20,
        '" text-anchor="middle">', _label(t, st), '</text>');
      t := t + st;
    end;
    st := _step(y0, y1);
    t := Ceil(y0 / st - 1e-9) * st;
    while t <= y1 + st * 1e-9 do
    begin
      writeln(f, '<line x1="', _left, '" y1="', _px(sy(t)), '" x2="',
        _right, '" y2="', _px(sy(t)), '" stroke="#e0e0e0"/>');
      writeln(f, '<line x1="', _left - 6, '" y1="', _px(sy(t)), '" x2="',
        _left, '" y2="', _px(sy(t)), '" stroke="black"/>');
      writeln(f, '<text x="', _left - 10, '" y="', _px(sy(t) + 4),
        '" text-anchor="end">', _label(t, st), '</text>');
      t := t + st;
    end;
    writeln(f, '<rect x="', _left, '" y="', _top, '" width="', _right - _left,
      '" height="', _bottom - _top, '" fill="none" stroke="black"/>');
    writeln(f, '<text x="', (_left + _right) div 2, '" y="', _bottom + 45,
      '" text-anchor="middle">', _xml(Trim(_nomv[1])), '</text>');
    writeln(f, '</g>');
    { one polyline per value, clipped to the plot area }
    writeln(f, '<clipPath id="area"><rect x="', _left, '" y="', _top,
      '" width="', _right - _left, '" height="', _bottom - _top,
      '"/></clipPath>');
    for v := 2 to m do
    begin
      write(f, '<polyline clip-path="url(#area)" fill="none" stroke-width="2" ',
        'stroke="', _rgb(colv[v]), '" points="');
      for p := 0 to _npt - 1 do
      begin
        pts := _px(sx(_pts[p][1])) + ',' + _px(sy(_pts[p][v]));
        if p > 0 then
          write(f, ' ');
        write(f, pts);
      end;
      writeln(f, '"/>');
    end;
    { the legend }
    writeln(f, '<g font-family="sans-serif" font-size="13">');
    for v := 2 to m do
    begin
      y := _top + 10 + (v - 2) * 22;
      writeln(f, '<line x1="', _right + 20, '" y1="', _px(y), '" x2="',
        _right + 50, '" y2="', _px(y), '" stroke-width="3" stroke="',
        _rgb(colv[v]), '"/>');
      writeln(f, '<text x="', _right + 58, '" y="', _px(y + 4), '">',
        _xml(Trim(_nomv[v])), '</text>');
    end;
    writeln(f, '</g>');
    writeln(f, '</svg>');
  end;
  CloseFile(f);
  Result := true;
end;

function _svgwrite(g: integer; const base: string): boolean;
begin
  Result := false;
  if (g < 1) or (g > _maxgr) or (_Grafico[g]._npt = 0) or
    (Length(_Grafico[g]._pts[0]) < 2) then
    Exit;
  Result := _writesvg(g, base + '.svg') and _writecsv(g, base + '.csv');
end;

initialization
  _fs := DefaultFormatSettings;
  _fs.DecimalSeparator := '.';
  _fs.ThousandSeparator := #0;
end.
