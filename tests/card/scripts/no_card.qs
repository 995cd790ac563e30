// The second virtual reader holds no card.
begin
  OpenReader(2); // expect error: SCardConnect error!
end.
