{ rtnote: the memo window of a run, kept as a list of lines.

  Messages shown during the run are noted here so that a program (or
  the menu) can show them again at the end. }
unit rtnote;

{$MODE DELPHI}

interface

procedure _NoteClear;
procedure _NoteAdd(const s: string);
function _NoteCount: integer;
function _NoteLine(i: integer): string;
procedure _NoteShow;

implementation

var
  _lines: array of string;

procedure _NoteClear;
begin
  SetLength(_lines, 0);
end;

procedure _NoteAdd(const s: string);
begin
  SetLength(_lines, Length(_lines) + 1);
  _lines[High(_lines)] := s;
end;

function _NoteCount: integer;
begin
  Result := Length(_lines);
end;

function _NoteLine(i: integer): string;
begin
  if (i >= 1) and (i <= Length(_lines)) then
    Result := _lines[i - 1]
  else
    Result := '';
end;

procedure _NoteShow;
var i: integer;
begin
  for i := 0 to High(_lines) do
    writeln(_lines[i]);
end;

end.
