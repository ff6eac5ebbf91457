// KeyToLane: the lane of a chart's key letter, by rows of the main keyboard block.
#pragma once

// Lanes 0 to 29 (A S D F J K L ; on 0-7, G H 8-9, Q W E R U I O P 10-17, T Y 18-19, Z X C V 20-23,
// M , . / 24-27, B N 28-29; letters in either case, "+" with ";", "<" ">" "?" with , . /); -1 for a
// character outside 32..127 and every character no lane takes.
int KeyToLane(int character);

// The lane on the eight-lane sheet of the normal and easy difficulties: each row lands on 0 to 7 in
// order and a row's two middle keys on 3 and 4; -1 stays -1.
int FoldLane(int lane);
