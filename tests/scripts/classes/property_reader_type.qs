// A property reader must return the property's type.
type
  TThing = class
    function GetCount: string;
    property Count: Integer read GetCount;   // expect compile error: type mismatch
  end;
begin
end.
