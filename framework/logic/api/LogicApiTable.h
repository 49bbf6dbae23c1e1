/*
===============================================================================

	Filling of the API tables that logic modules call.

	A table is a structure of function pointers whose slot order is the
	binary interface with the modules. Each table has a constant twin of
	the same layout whose every slot holds a not-initialised stub of that
	slot's own signature, returning zero; a table starts from its twin
	(constant initialisation, so a call reaches a stub even before the
	table is filled) and InitAPI puts the twin back before the engine
	stores the functions it implements.

===============================================================================
*/
#ifndef LOGIC_API_TABLE_H
#define LOGIC_API_TABLE_H

#include "datatypes/base/DTTypes.h"

// The width of one slot.
typedef void ( *LogicApiSlot )( void );

// Copies slotCount slots of stubs over table; both have one layout.
void		InitAPI( void * table, u32 slotCount, const void * stubs );

#endif
