// A label cannot hold other controls: a button made on it stops the script.
var
  F: TForm;
  L: TLabel;
  B: TButton;
begin
  F := TForm.Create;
  L := TLabel.Create(F);
  Writeln('label made');                // expect: label made
  B := TButton.Create(L);               // expect error: command is not supported
end.
