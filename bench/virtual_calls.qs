program VirtualCalls;
// Virtual method calls on a small class hierarchy, in a loop.
// Keep in step with virtual_calls.lua and virtual_calls.py: all three print the same lines.

type
  TShape = class
  public
    Size: Integer;
    function Area: Integer; virtual;
    function Weight(factor: Integer): Integer; virtual;
  end;
  TSquare = class(TShape)
  public
    function Area: Integer; override;
  end;
  TTriangle = class(TShape)
  public
    function Area: Integer; override;
  end;
  TFrame = class(TSquare)
  public
    function Area: Integer; override;
    function Weight(factor: Integer): Integer; override;
  end;

function TShape.Area: Integer;
begin
  Result := 0;
end;

// SELF.Area dispatches on the instance's class; a bare Area would run TShape's own.
function TShape.Weight(factor: Integer): Integer;
begin
  Result := Self.Area * factor;
end;

function TSquare.Area: Integer;
begin
  Result := Size * Size;
end;

function TTriangle.Area: Integer;
begin
  Result := Size * Size div 2;
end;

function TFrame.Area: Integer;
begin
  Result := inherited Area - (Size - 2) * (Size - 2);
end;

function TFrame.Weight(factor: Integer): Integer;
begin
  Result := Self.Area * factor + 1;
end;

var
  shapes: array of TShape;
  i, k, total, weights: Integer;
begin
  shapes := [TShape.Create, TSquare.Create, TTriangle.Create, TFrame.Create];
  for k := 0 to 3 do
    shapes[k].Size := k + 3;
  total := 0;
  weights := 0;
  for i := 0 to 499999 do
  begin
    k := i mod 4;
    total := (total + shapes[k].Area) mod 1000003;
    weights := (weights + shapes[k].Weight(i mod 7)) mod 1000003;
  end;
  Writeln('total=' + IntToStr(total) + ' weights=' + IntToStr(weights));
  for k := 0 to 3 do
    shapes[k].Free;
end.
