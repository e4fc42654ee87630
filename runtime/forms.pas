{ Forms: console stand-in for the forms unit the main program names.
  A run has no windows; Application only carries the title and lets
  code that expects it call ProcessMessages. }
unit Forms;

{$MODE DELPHI}

interface

type
  TApplication = class
  public
    Title: string;
    Terminated: boolean;
    procedure Initialize;
    procedure ProcessMessages;
    procedure Terminate;
  end;

var
  Application: TApplication;

implementation

procedure TApplication.Initialize;
begin
  Terminated := false;
end;

procedure TApplication.ProcessMessages;
begin
end;

procedure TApplication.Terminate;
begin
  Terminated := true;
end;

initialization
  Application := TApplication.Create;

finalization
  Application.Free;
end.
