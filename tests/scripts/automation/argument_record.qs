program ArgumentRecord;
// Records are no arguments.
type
  TPoint = record X, Y: Integer; end;
var
  O: IDispatch;
  P: TPoint;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.EchoVariant(P);  // expect error: could not convert parameter
end.
