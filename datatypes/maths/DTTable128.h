/*
===============================================================================

	Shared 128-step sine and cosine tables: entry i stands for the angle
	i * 2pi / 128. Built once by Init (its users call it while IsInit is
	false), each value computed in double and stored as a float.

===============================================================================
*/
#ifndef DT_TABLE128_H
#define DT_TABLE128_H

#include "datatypes/base/DTTypes.h"

constexpr u32 DT_TABLE128_SIZE = 128;

class DTTable128 {
public:
	static void				Init();
	static u32				IsInit() { return mbInit; }

	static f32				mSin[DT_TABLE128_SIZE];
	static f32				mCos[DT_TABLE128_SIZE];
	static u32				mbInit;
};

#endif
