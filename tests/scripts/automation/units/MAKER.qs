unit Maker;
// Makes automation objects for the scripts that use it.

function MakeServer: IDispatch;
begin
  Result := CreateOleObject('org.quoll.TestServer');
end;

procedure FailHere;
begin
  MakeServer.Fail;
  Writeln('not reached');
end;

end.
