/* What the TABLES test module reports through its message function. */
#ifndef TABLES_REPORT_H
#define TABLES_REPORT_H

#include "framework/logic/api/LogicModuleAPI.h"

#define TABLES_BLOCK_NAME	"TABLES_BLOCK"
#define TABLES_BLOCK_BYTES	16
#define TABLES_BLOCK_MARK	0x7AB1E5u

typedef struct {
	s32 clamped;
	s32 clampedDigits;
	u32 minusOne;
	s32 absMinimum;
	s32 quotient;
	s32 remainder;
	f32 length;
	DTVector3d cross;
	f32 squareRoot;
	void * block;
} TablesReport;

#endif
