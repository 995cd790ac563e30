unit CLib;
{ Loads the C library for the script that uses it, and binds strlen here in the unit. }

var
  Handle: ResourcePointer;

function OpenC: Boolean;
begin
  Result := LoadLibrary('libc.so.6', Handle);
  if Result then
    Result := MapLibraryProc(Handle, 'strlen', 'function CLength(S: PChar): Integer; cdecl');
end;

function LengthInUnit(S: string): Integer;
begin
  Result := CLength(S);
end;

end.
