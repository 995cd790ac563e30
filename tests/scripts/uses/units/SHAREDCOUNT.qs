unit SharedCount;
{ State that two other units change and read: one instance per run. }

var
  Count: Integer;

procedure Bump;
begin
  Count := Count + 1;
end;

end.
