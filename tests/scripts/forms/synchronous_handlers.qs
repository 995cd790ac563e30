// Handlers that run without a user: a change handler when the script sets a text, and the close
// query when the script closes its form (refused once, then allowed). ProcessMessages in a script
// without forms only returns.
var
  F: TForm;
  E: TEdit;
  M: TMemo;
  Asked: Integer;

procedure Changed(Sender: TObject);
begin
  if Sender = E then
    Writeln('edit changed to ' + E.Text)
  else
    Writeln('memo changed');
end;

procedure Closing(Sender: TObject; var CanClose: Boolean);
begin
  Asked := Asked + 1;
  CanClose := Asked > 1;
  Writeln('close query ' + TForm(Sender).Caption);
end;

begin
  ProcessMessages;
  F := TForm.Create;
  F.Caption := 'Q';
  F.OnCloseQuery := @Closing;
  E := TEdit.Create(F);
  E.OnChange := @Changed;
  M := TMemo.Create(F);
  M.OnChange := @Changed;
  E.Text := 'one';                      // expect: edit changed to one
  M.Text := 'x';                        // expect: memo changed
  F.Visible := True;
  F.Close;                              // expect: close query Q
  if F.Visible then
    Writeln('still open');              // expect: still open
  F.Close;                              // expect: close query Q
  if not F.Visible then
    Writeln('closed');                  // expect: closed
end.
