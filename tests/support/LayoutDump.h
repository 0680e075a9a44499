#pragma once
// A text dump of measure records for comparing layouts: one line per record
// with its scalar fields, then one indented line per tempo segment, position
// entry, used display item, valid dynamics record and play mark, and the
// lists that refer to display items. Items are named by kind and the order
// of their first appearance ("k6#1"); display items by record and index
// ("r0.d2", "own" for a record kept outside the display list). Formatting
// the same score twice must give the same dump.
//
//   record 0 column=0 start=0 meter=0x0404 length=512 next=0x0404/512 number=1+0 covered=0/0 rehearsal=0
//     flags=0x0004 tempo=60 msPerTick=7.812500 duration=4000.000000 extents=0,0,0,0,0,0,0,0,0,0
//     numberShown=0 numberDisplay=- meterMark=k4#1 volta=- coda=- rehearsalMark=- carried=-   (one line)
//   segment 0 +0 7.812500
//   entry 0 k6#1 word=0 action=0 param=0
//   display r0.d0 k6#1 type=0 staff=0 size=100 param=0 rect=0,-128,110,80 link=- marker=0
//   dynamic k160#2 part=0 pos=0 len=0 vel=64/64 local=0 disabled=0
//   playmark k42#3
//   continuing r0.d1 / lyric r0.d2 / text own / extending r0.d3

#include <cstdint>
#include <string>

#include <memory>
#include <vector>

struct TKVPieceLayoutRecords;
struct TKVPageRecord;

// Records 0 .. Count - 1 (all records for Count < 0).
std::string DumpMeasureRecords(const TKVPieceLayoutRecords& Records, int32_t Count = -1);

// The notes struck (no tie carries them in): "key@tick+length " from the piece's start.
std::string StruckNotes(const TKVPieceLayoutRecords& Records);

// Pages 0 .. Count - 1 with their used systems (and the measure records
// each lists, with their x) and staff lines, one line each.
std::string DumpPages(const std::vector<std::unique_ptr<TKVPageRecord>>& Pages, int32_t Count);
