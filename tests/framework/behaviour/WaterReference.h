/*
===============================================================================

	The wave step of the water simulation written out cell by cell, with
	the eight neighbours summed directly: what the module's running sums
	must match (tests) and beat (benchmark).

===============================================================================
*/
#ifndef WATER_REFERENCE_H
#define WATER_REFERENCE_H

#include "datatypes/base/DTTypes.h"

#include <vector>

// One wave step written out cell by cell.
inline void NaiveWaveStep( std::vector<f32>& a, const std::vector<f32>& b, const u32 width, const u32 height,
						   const f32 damping, const f32 c ) {
	for ( u32 row = 1; row + 1 < height; row++ ) {
		for ( u32 column = 1; column + 1 < width; column++ ) {
			f32 s = 0.0f;
			for ( s32 j = -1; j <= 1; j++ ) {
				for ( s32 i = -1; i <= 1; i++ ) {
					if ( i != 0 || j != 0 ) {
						s += b[( row + j ) * width + column + i];
					}
				}
			}
			const u32 cell = row * width + column;
			a[cell] = damping * ( c * s + ( 2.0f - 8.0f * c ) * b[cell] ) - damping * a[cell];
		}
	}
}

#endif
