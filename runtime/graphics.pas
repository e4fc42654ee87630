{ Graphics: console stand-in for the graphics unit the generated text
  names.  Only colours are needed; nothing is drawn. }
unit Graphics;

{$MODE DELPHI}

interface

type
  TColor = longint;

const
  clBlack = TColor($000000);
  clMaroon = TColor($000080);
  clGreen = TColor($008000);
  clOlive = TColor($008080);
  clNavy = TColor($800000);
  clPurple = TColor($800080);
  clTeal = TColor($808000);
  clGray = TColor($808080);
  clSilver = TColor($C0C0C0);
  clRed = TColor($0000FF);
  clLime = TColor($00FF00);
  clYellow = TColor($00FFFF);
  clBlue = TColor($FF0000);
  clFuchsia = TColor($FF00FF);
  clAqua = TColor($FFFF00);
  clWhite = TColor($FFFFFF);

{ The sixteen colours of the language, BLACK = 1 .. WHITE = 16. }
function _ColorOf(n: integer): TColor;

implementation

function _ColorOf(n: integer): TColor;
const
  tab: array[1..16] of TColor = (clBlack, clNavy, clGreen, clTeal, clMaroon,
    clPurple, clOlive, clSilver, clGray, clBlue, clLime, clAqua, clRed,
    clFuchsia, clYellow, clWhite);
begin
  if (n >= 1) and (n <= 16) then
    Result := tab[n]
  else
    Result := clBlack;
end;

end.
