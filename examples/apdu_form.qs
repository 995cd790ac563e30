program ApduForm;
{ A small APDU console on a form of its own: type a command APDU in hex, press Enter (or Send)
  and read the command and the card's response in the list below; Clear empties the list.
  It talks to the first card reader: without one at hand, `make demo` shows how to start
  pcscd with the virtual card (quoll-vcard). Every exchange is also written to the output. }

var
  Form: TForm;
  Prompt: TLabel;
  Command: TEdit;
  SendButton, ClearButton: TButton;
  Log: TMemo;
  Reader: Integer;

procedure AddLine(Line: string);
begin
  if Log.Text = '' then
    Log.Text := Line
  else
    Log.Text := Log.Text + #13#10 + Line;
  Writeln(Line);
end;

procedure SendClick(Sender: TObject);
var
  Response: string;
begin
  if Command.Text = '' then
    exit;
  AddLine('> ' + Command.Text);
  if Reader = 0 then
    Response := 'no card reader'
  else
    try
      Response := SendAPDU(Reader, Command.Text);
    except
      Response := 'not sent: the command is not hex text, or the card did not answer';
    end;
  AddLine('< ' + Response);
  // A response 61xx says that xx bytes wait: the next command fetches them.
  if Copy(Response, 1, 2) = '61' then
    Command.Text := '00 C0 00 00 ' + Copy(Response, 3, 2)
  else
    Command.Text := '';
end;

procedure ClearClick(Sender: TObject);
begin
  Log.Text := '';
end;

begin
  Form := TForm.Create;
  Form.Caption := 'APDU console';
  Form.SetBounds(0, 0, 480, 320);
  Form.BorderStyle := bsSingle;
  Form.BorderIcons := BiSystemMenu + biMinimize;

  Prompt := TLabel.Create(Form);
  Prompt.SetBounds(10, 10, 300, 16);
  Prompt.Caption := 'Command APDU (hex):';

  Command := TEdit.Create(Form);
  Command.SetBounds(10, 30, 290, 26);
  Command.FontName := 'Monospace';

  SendButton := TButton.Create(Form);
  SendButton.SetBounds(310, 30, 75, 26);
  SendButton.Caption := '&Send';
  SendButton.Default := True;
  SendButton.OnClick := @SendClick;

  ClearButton := TButton.Create(Form);
  ClearButton.SetBounds(395, 30, 75, 26);
  ClearButton.Caption := '&Clear';
  ClearButton.OnClick := @ClearClick;

  Log := TMemo.Create(Form);
  Log.SetBounds(10, 66, 460, 244);
  Log.Readonly := True;
  Log.FontName := 'Monospace';
  Log.Color := $00F0FFF0;

  Reader := 0;
  if GetReaderCount > 0 then
    if OpenReader(1) then
      Reader := 1;
  if Reader = 0 then
    AddLine('No card reader answered.')
  else
    AddLine('Reader: ' + GetReaderName(Reader));

  // The first command selects the master file; its answer suggests the next one.
  Command.Text := '00 A4 00 00 02 3F 00';
  SendClick(SendButton);

  Form.Center;
  Form.Visible := True;
  Form.SetActiveControl(Command);
  while Form.Visible do
    ProcessMessages;
  if Reader <> 0 then
    CloseReader(Reader);
  Writeln('Form closed.');
end.
