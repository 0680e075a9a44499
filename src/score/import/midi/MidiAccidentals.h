#pragma once
// The accidental signs of an imported part, decided once its measures are
// complete: in item order, as the layout reads them, a note shows a sign
// where the key signature and the signs before it in the measure on its
// staff do not give its alteration, and where another note of its staff
// stands at the same position on the same line in another alteration.

class TKVPart;

void ShowAccidentals(TKVPart& Part);
