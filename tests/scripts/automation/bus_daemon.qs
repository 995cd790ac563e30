program BusDaemon;
// The bus daemon itself is an automation object: its identity, the names on the bus, owners.
var
  Bus: IDispatch;
  Id: string;
  Names: array of string;
  I: Integer;
  Found: Boolean;
begin
  Bus := CreateOleObject('org.freedesktop.DBus');
  Id := Bus.GetId;
  Writeln(IntToStr(Length(Id)));                              // expect: 32
  Names := Bus.ListNames;
  Found := False;
  for I := 0 to GetArrayLength(Names) - 1 do
    if Names[I] = 'org.freedesktop.DBus' then Found := True;
  if Found then Writeln('the bus lists itself');              // expect: the bus lists itself
  if Bus.NameHasOwner('org.freedesktop.DBus') then
    Writeln('org.freedesktop.DBus has an owner');             // expect: org.freedesktop.DBus has an owner
  if not Bus.NameHasOwner('org.quoll.Nobody') then
    Writeln('org.quoll.Nobody has none');                     // expect: org.quoll.Nobody has none
  Writeln(Bus.GetNameOwner('org.freedesktop.DBus'));          // expect: org.freedesktop.DBus
  Writeln(GetType(Bus.NameHasOwner('x.y')));                  // expect: BOOLEAN
  Writeln(GetType(Bus.GetConnectionUnixProcessID('org.freedesktop.DBus')));  // expect: CARDINAL
end.
