#include "framework/core/input/EFKeyboard.h"

EFKeyboard::EFKeyboard() {
	Flush();
}

void EFKeyboard::Flush() {
	mui16ReadIndex = 0;
	mui16WriteIndex = 0;
}
