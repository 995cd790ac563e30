// Methods on an object without a native control of this library are not supported: a TControl
// descendant that made none, TControl.Create itself, a destroyed control, and a control whose
// form was freed first keeps working on its own.
type
  TPanel = class(TControl)
  public
    constructor Make;
  end;

constructor TPanel.Make;
begin
end;

var
  P: TPanel;
  C: TControl;
  F: TForm;
  B: TButton;
  E: TEdit;
begin
  P := TPanel.Make;
  try
    P.Left := 1;
  except
    Writeln('no native control');       // expect: no native control
  end;
  try
    C := TControl.Create(nil);
  except
    Writeln('TControl makes none');     // expect: TControl makes none
  end;
  E := TEdit.Create(nil);
  E.Text := 'alone';
  Writeln(E.Text);                      // expect: alone
  E.Free;
  try
    Writeln(E.Text);
  except
    Writeln('destroyed');               // expect: destroyed
  end;
  try
    E.Free;
  except
    Writeln('destroyed twice');         // expect: destroyed twice
  end;
  F := TForm.Create;
  B := TButton.Create(F);
  F.Free;
  B.Caption := 'still here';
  Writeln(B.Caption);                   // expect: still here
  B.Visible := True;
  if B.Visible then
    Writeln('visible flag kept');       // expect: visible flag kept
  try
    F.Visible := True;
  except
    Writeln('form gone');               // expect: form gone
  end;
  F := TForm.Create;
  B := TButton.Create(F);
  B.Free;
  F.Caption := 'form stays';
  Writeln(F.Caption);                   // expect: form stays
  F.SetActiveControl(F);
  try
    F.SetActiveControl(B);
  except
    Writeln('no focus for a freed button');  // expect: no focus for a freed button
  end;
end.
