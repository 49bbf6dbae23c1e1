/*
===============================================================================

	Typed output record of an operator: a block of records, their count,
	and the link to the next output.

	State bit 0 says the record owns its block; it is then freed as raw
	storage with the engine's operator delete when the record is destroyed.
	A copy shares the block without owning it (its state and link are
	zero), so two records never free one block.

===============================================================================
*/
#ifndef DT_ATTRIB_H
#define DT_ATTRIB_H

#include "datatypes/base/DTTypes.h"

enum DTAttribType : u32 {
	AT_NONE			= 0,
	AT_TRANSFO		= 1,	// the block holds DTTransfo records
	AT_COLLPRIM		= 2		// the block holds collision-primitive data
};

// State bit: the record owns its block.
constexpr u32 DT_ATTRIB_OWNS_BLOCK = 0x1;

class DTAttrib {
public:
							DTAttrib();
	explicit				DTAttrib( const DTAttribType type );
	// Type, count and block; state and next zero.
							DTAttrib( const DTAttrib & other );
							~DTAttrib();

	DTAttrib &				operator=( const DTAttrib & ) = delete;

	DTAttribType			meType;
	u32						muiState;
	u32						muiNbStruct;
	void *					mpDataBlock;
	DTAttrib *				mpNext;
};

#endif
