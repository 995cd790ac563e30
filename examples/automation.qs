program Automation;
// Automation objects: the session bus itself is one (org.freedesktop.DBus). It tells its
// identity and the names its clients own; every other service on the bus is reached the same
// way, by its name, and its methods are called by theirs.
var
  Bus: IDispatch;
  Names: array of string;
  I: Integer;
begin
  Bus := CreateOleObject('org.freedesktop.DBus');
  Writeln('Bus id: ' + Bus.GetId);
  Names := Bus.ListNames;
  Writeln('Names on the bus: ' + IntToStr(GetArrayLength(Names)));
  for I := 0 to GetArrayLength(Names) - 1 do
    Writeln('  ' + Names[I]);
end.
