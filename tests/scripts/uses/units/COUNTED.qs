unit Counted;
{ Reads the shared counter. }

uses SharedCount;

function CountNow: Integer;
begin
  Result := Count;
end;

end.
