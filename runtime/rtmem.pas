{ rtmem: small blocks for the messages and records of a run.

  A model makes and drops a message and its record for every customer
  (NEW in an I node, dispose when it leaves), and the kernel its own
  small records: the general heap does much for each of them that such
  blocks do not need.  Blocks of up to _mmax bytes come here from lists
  of free blocks, one list per size in steps of 32 bytes, filled from
  chunks taken from the heap this unit finds in place, and go back to
  their list when freed: a run that keeps so many blocks alive keeps
  that much memory, reused as customers come and go.  Larger blocks,
  and every block made before this unit was set up, are the heap's.

  Two words stand before each block here: the link of the free list
  while the block is free, then _mtag in the top bits and the size
  class below.  The heap's own word before its blocks holds a size and
  flags, which never reach the top bits, so a block is told apart by
  that word alone.  A model that writes to a block it has freed (one it
  frees at the end of a run and still uses) spoils only that block's
  contents, never the list; one that reads it finds there what the heap
  would have left: its first word a link to another free block, the
  second nil.  The blocks are as large as the heap would make them.
  The programs are single threaded (a batch runs in
  processes of its own).

  Public: _memblocks (blocks of this unit in use, for checks). }
unit rtmem;

{$MODE DELPHI}
{$POINTERMATH ON}

interface

{ Blocks made here and not freed. }
function _memblocks: int64;

implementation

const
  _mmax = 256;                     { largest block kept here }
  _mclasses = (_mmax + 47) shr 5;
  _mtag = qword($7A5C) shl 48;
  _mtagmask = qword($FFFF) shl 48;
  _mchunk = 64 * 1024;             { bytes taken from the heap at once }

var
  _mold: TMemoryManager;            { the heap found in place }
  _mfree: array[1.._mclasses] of PByte;
  _mused: int64;

function _memblocks: int64;
begin
  Result := _mused;
end;

{ Blocks of class c take 32c bytes with their two words. }
function _mcap(c: integer): ptruint; inline;
begin
  Result := 32 * c - 16;
end;

function _mlink(p: PByte): PPointer; inline;
begin
  Result := PPointer(p - 16);
end;

{ A chunk cut into blocks of class c. }
procedure _mfill(c: integer);
var p, b: PByte;
    step, n, i: integer;
begin
  step := 32 * c;
  n := _mchunk div step - 1;
  p := _mold.GetMem(n * step + 64);
  if p = nil then
    Exit;
  { steps of 64 bytes and more start where a cache line does: a block
    of up to 48 bytes takes one line with its two words, a message two }
  p := PByte((PtrUInt(p) + 63) and not PtrUInt(63));
  for i := n - 1 downto 0 do
  begin
    b := p + i * step + 16;
    PQWord(b - 8)^ := _mtag or qword(c);
    _mlink(b)^ := _mfree[c];
    _mfree[c] := b;
  end;
end;

function _mget(size: ptruint): pointer;
var c: integer;
    b: PByte;
begin
  if (size = 0) or (size > _mmax) then
    Exit(_mold.GetMem(size));
  c := (size + 47) shr 5;
  b := _mfree[c];
  if b = nil then
  begin
    _mfill(c);
    b := _mfree[c];
    if b = nil then
      Exit(nil);
  end;
  _mfree[c] := _mlink(b)^;
  Inc(_mused);
  Result := b;
end;

{ The class of a block of this unit, or 0 for one of the heap. }
function _mclass(p: pointer): integer; inline;
var h: qword;
begin
  h := PQWord(PByte(p) - 8)^;
  if (h and _mtagmask) = _mtag then
    Result := integer(h and $FF)
  else
    Result := 0;
end;

function _mfreeit(p: pointer): ptruint;
var h: qword;
    head: ^PByte;
    q: PByte;
begin
  if p = nil then
    Exit(0);
  h := PQWord(PByte(p) - 8)^;
  if (h shr 48) <> (_mtag shr 48) then
    Exit(_mold.FreeMem(p));
  head := @_mfree[integer(h and $FF)];
  q := head^;
  _mlink(p)^ := q;
  PPointer(p)[0] := q;
  PPointer(p)[1] := nil;
  head^ := p;
  Dec(_mused);
  Result := _mcap(integer(h and $FF));
end;

function _mfreesize(p: pointer; size: ptruint): ptruint;
begin
  if (p <> nil) and (_mclass(p) = 0) then
    Exit(_mold.FreeMemSize(p, size));
  Result := _mfreeit(p);
end;

function _malloc(size: ptruint): pointer;
begin
  Result := _mget(size);
  if Result <> nil then
    FillChar(Result^, size, 0);
end;

function _msize(p: pointer): ptruint;
var c: integer;
begin
  if p = nil then
    Exit(0);
  c := _mclass(p);
  if c = 0 then
    Exit(_mold.MemSize(p));
  Result := _mcap(c);
end;

function _mrealloc(var p: pointer; size: ptruint): pointer;
var c: integer;
    q: pointer;
    keep: ptruint;
begin
  if p = nil then
  begin
    p := _mget(size);
    Exit(p);
  end;
  if size = 0 then
  begin
    _mfreeit(p);
    p := nil;
    Exit(nil);
  end;
  c := _mclass(p);
  if c = 0 then
  begin
    { the heap's block stays the heap's }
    Result := _mold.ReAllocMem(p, size);
    Exit;
  end;
  if size <= _mcap(c) then
    Exit(p);
  q := _mget(size);
  if q = nil then
    Exit(nil);
  keep := _mcap(c);
  if size < keep then
    keep := size;
  Move(p^, q^, keep);
  _mfreeit(p);
  p := q;
  Result := q;
end;

function _mstatus: THeapStatus;
begin
  Result := _mold.GetHeapStatus();
end;

function _mfpcstatus: TFPCHeapStatus;
begin
  Result := _mold.GetFPCHeapStatus();
end;

procedure _msetup;
var m: TMemoryManager;
begin
  GetMemoryManager(_mold);
  m := _mold;
  m.Getmem := _mget;
  m.Freemem := _mfreeit;
  m.FreememSize := _mfreesize;
  m.AllocMem := _malloc;
  m.ReAllocMem := _mrealloc;
  m.MemSize := _msize;
  m.GetHeapStatus := _mstatus;
  m.GetFPCHeapStatus := _mfpcstatus;
  SetMemoryManager(m);
end;

initialization
  _msetup;
end.
