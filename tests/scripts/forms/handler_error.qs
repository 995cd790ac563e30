// An error in a handler ends the run with the handler's error and position.
var
  E: TEdit;
  Zero: Integer;

procedure Changed(Sender: TObject);
begin
  Zero := 1 div Zero;                   // expect error: divide by zero
end;

begin
  E := TEdit.Create(nil);
  E.OnChange := @Changed;
  E.Text := 'x';
  Writeln('not reached');
end.
