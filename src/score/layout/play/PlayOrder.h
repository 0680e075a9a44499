#pragma once
// The play order: turns the measure records of every piece into the order
// in which the measures sound. On the way through a piece a repeat end goes
// back to its start (once, or inside an ending for as long as an ending of
// its run takes the next pass; a repeat inside one ending leaves the
// ending's pass alone), voltas are taken on their passes, D.C. and D.S. jump
// back and replay their range, jump marks and texts with a jump
// link go to the beginning, to a measure number or to a named label, a fine
// ends the piece on its pass, measure-repeat signs play a measure again and
// a coda pair skips the measures between the two signs on a replay.
//
// The result is each piece's list of play records (TKVPieceLayoutRecords::
// PlayRecords, PlayCount valid ones) with their start times, the start time
// and play index of every measure record, the piece's running time and the
// score's (TKVScoreLayoutRecords::RunningTime), and tied-in notes across
// consecutive plays (TieLinks.h). Pieces play one after another on the
// score's time line; a separate piece has a time line of its own that starts
// where the score's stands and does not move it.
//
// Bounds: a repeat end never replays a range it is already replaying (two
// repeat ends in one measure would recurse for ever), ranges nest at most
// MaxRangeDepth deep, and a piece gets at most MaxPlaysPerPiece plays (the
// play index is 16-bit; repeat ends chained without a start would double the
// plays with every measure). The work of one piece is bounded as well.

#include <cstdint>

class TKVScore;

constexpr int32_t MaxPlaysPerPiece = 65535;
constexpr int32_t MaxRangeDepth = 64;

void BuildPlayOrder(TKVScore& Score);
