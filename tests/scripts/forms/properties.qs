// Every property of the forms and controls reads back what was set: bounds, visibility, the
// enabled state, colours as the numbers set ($00BBGGRR and system colours), font name, size,
// colour and style (a sum of the fs constants; 0 clears them), captions and texts, read-only,
// default and cancel, border style (an unknown style changes nothing) and border icons.
var
  F: TForm;
  B: TButton;
  E: TEdit;
  L: TLabel;
  M: TMemo;

procedure Check(Name: string; Ok: Boolean);
begin
  if Ok then Writeln(Name + ' ok') else Writeln(Name + ' WRONG');
end;

begin
  F := TForm.Create;
  Check('form hidden at first', not F.Visible);         // expect: form hidden at first ok
  F.SetBounds(10, 20, 300, 200);
  Check('bounds', (F.Left = 10) and (F.Top = 20) and (F.Width = 300) and (F.Height = 200)); // expect: bounds ok
  F.Width := 320;
  F.Height := 240;
  Check('width height', (F.Width = 320) and (F.Height = 240)); // expect: width height ok
  F.Caption := 'Caption';
  Writeln(F.Caption);                                   // expect: Caption
  Check('default colour', F.Color = $8000000F);         // expect: default colour ok
  F.Color := $0000FF;
  Check('colour', F.Color = $0000FF);                   // expect: colour ok
  F.Color := $80000005;
  Check('system colour', F.Color = $80000005);          // expect: system colour ok
  Check('border sizeable', F.BorderStyle = bsSizeable); // expect: border sizeable ok
  F.BorderStyle := bsDialog;
  Check('border dialog', F.BorderStyle = bsDialog);     // expect: border dialog ok
  F.BorderStyle := 5;
  Check('border 5 ignored', F.BorderStyle = bsDialog);  // expect: border 5 ignored ok
  F.BorderStyle := bsNone;
  Check('border none', F.BorderStyle = 0);              // expect: border none ok
  Check('all icons', F.BorderIcons = BiSystemMenu + biMinimize + biMaximize); // expect: all icons ok
  F.BorderIcons := BiSystemMenu;
  Check('system menu only', F.BorderIcons = 1);         // expect: system menu only ok
  F.Visible := True;
  Check('form visible', F.Visible);                     // expect: form visible ok
  F.Center;
  F.Close;
  Check('closed form hidden', not F.Visible);           // expect: closed form hidden ok

  B := TButton.Create(F);
  Check('button parent', B.Parent = F);                 // expect: button parent ok
  Check('button visible', B.Visible);                   // expect: button visible ok
  B.Caption := '&Send';
  Writeln(B.Caption);                                   // expect: &Send
  B.FontStyle := fsBold + fsItalic;
  Check('style 3', B.FontStyle = 3);                    // expect: style 3 ok
  B.FontStyle := fsUnderline + fsStrikeOut;
  Check('style 12', B.FontStyle = 12);                  // expect: style 12 ok
  B.FontStyle := 0;
  Check('style cleared', B.FontStyle = 0);              // expect: style cleared ok
  B.FontSize := 14;
  Check('font size', B.FontSize = 14);                  // expect: font size ok
  B.FontName := 'Courier';
  Writeln(B.FontName);                                  // expect: Courier
  Check('font colour default', B.FontColor = $80000008); // expect: font colour default ok
  B.FontColor := $00FF00;
  Check('font colour', B.FontColor = $00FF00);          // expect: font colour ok
  B.Default := True;
  B.Cancel := True;
  Check('default cancel', B.Default and B.Cancel);      // expect: default cancel ok
  B.Enabled := False;
  Check('disabled', not B.Enabled);                     // expect: disabled ok
  B.Visible := False;
  Check('button hidden', not B.Visible);                // expect: button hidden ok

  E := TEdit.Create(F);
  Check('edit colour', E.Color = $80000005);            // expect: edit colour ok
  E.Text := 'abc';
  Writeln(E.Text);                                      // expect: abc
  E.ReadOnly := True;
  Check('read only', E.ReadOnly);                       // expect: read only ok

  M := TMemo.Create(F);
  M.Text := 'one'#13#10'two';
  Check('memo lines', M.Text = 'one'#13#10'two');       // expect: memo lines ok
  M.Readonly := True;
  Check('memo read only', M.Readonly);                  // expect: memo read only ok

  L := TLabel.Create(F);
  L.Caption := '<b>plain</b>';
  Writeln(L.Caption);                                   // expect: <b>plain</b>
  L.Left := 7;
  Check('label left', L.Left = 7);                      // expect: label left ok
  F.SetActiveControl(E);
  ProcessMessages;
end.
