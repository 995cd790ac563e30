unit Scaler;
{ Takes the shared record type as a parameter. }

uses SharedTypes;

function Scaled(r: TReading): Integer;
begin
  Result := r.Value * r.Scale;
end;

procedure Normalise(var r: TReading);
begin
  r.Value := r.Value * r.Scale;
  r.Scale := 1;
end;

end.
