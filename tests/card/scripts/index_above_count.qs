begin
  OpenReader(3); // expect error: Not a valid reader index, shoud be 1..2
end.
