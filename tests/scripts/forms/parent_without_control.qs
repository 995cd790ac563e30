// A parent must have a native control: a TControl descendant whose own constructor made none is
// a type mismatch as a parent.
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
  B: TButton;
begin
  P := TPanel.Make;
  B := TButton.Create(P);               // expect error: type mismatch
end.
