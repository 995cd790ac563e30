unit Greeter;
{ Stored under a lower-case file name; it uses another unit itself. }

uses MathUtil;

function Greeting(who: string): string;
begin
  Result := 'Hello, ' + who;
end;

function DoubleOf(k: Integer): Integer;
begin
  Result := Twice(k);
end;

end.
