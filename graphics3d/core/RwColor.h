/*
===============================================================================

	Colour module of the 3D library.

	Colours keep no globals: the module reserves no space and its open and
	close do nothing but succeed.

===============================================================================
*/
#ifndef RW_COLOR_H
#define RW_COLOR_H

#include "datatypes/base/DTTypes.h"

void*	_rwColorOpen( void* instance, s32 offset, s32 size );
void*	_rwColorClose( void* instance, s32 offset, s32 size );

#endif
