{ Dialogs: console stand-in for the dialog unit the generated text
  names.  Questions are asked on the console; at the end of the input
  every question takes its default answer. }
unit Dialogs;

{$MODE DELPHI}

interface

type
  TMsgDlgType = (mtWarning, mtError, mtInformation, mtConfirmation, mtCustom);
  TMsgDlgBtn = (mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore,
    mbAll, mbNoToAll, mbYesToAll, mbHelp);
  TMsgDlgButtons = set of TMsgDlgBtn;

const
  mrNone = 0;
  mrOk = 1;
  mrCancel = 2;
  mrAbort = 3;
  mrRetry = 4;
  mrIgnore = 5;
  mrYes = 6;
  mrNo = 7;

function InputBox(const ACaption, APrompt, ADefault: string): string;
procedure ShowMessage(const Msg: string);
function MessageDlg(const Msg: string; DlgType: TMsgDlgType;
  Buttons: TMsgDlgButtons; HelpCtx: longint): integer;

implementation

function InputBox(const ACaption, APrompt, ADefault: string): string;
var line: string;
begin
  write(ACaption, ' - ', APrompt, ' [', ADefault, '] ');
  if Eof(Input) then
  begin
    writeln;
    Exit(ADefault);
  end;
  readln(line);
  if line = '' then
    Result := ADefault
  else
    Result := line;
end;

procedure ShowMessage(const Msg: string);
begin
  writeln(Msg);
end;

function MessageDlg(const Msg: string; DlgType: TMsgDlgType;
  Buttons: TMsgDlgButtons; HelpCtx: longint): integer;
const
  kinds: array[TMsgDlgType] of string =
    ('Warning', 'Error', 'Information', 'Confirmation', '');
begin
  if kinds[DlgType] <> '' then
    writeln(kinds[DlgType], ': ', Msg)
  else
    writeln(Msg);
  if mbOK in Buttons then
    Result := mrOk
  else if mbYes in Buttons then
    Result := mrYes
  else
    Result := mrNone;
end;

end.
