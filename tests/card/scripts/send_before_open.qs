// Every run is a new process here, so no connection is left from an earlier run.
begin
  SendAPDU(1, '00 A4 00 00 02 3F 00'); // expect error: reader not open; use OpenReader first.
end.
