/*
===============================================================================

	Call trace of the placeholder managers.

	Several managers still have placeholder bodies that do no work of their
	own. While tracing is on, each such body records its name here, so the
	order in which the engine controller drives its managers can be checked.
	The trace holds the most recent EF_CALL_TRACE_CAPACITY names; a body
	that gains its real work drops its entry.

===============================================================================
*/
#ifndef EF_CALL_TRACE_H
#define EF_CALL_TRACE_H

#include "datatypes/base/DTTypes.h"

constexpr u32 EF_CALL_TRACE_CAPACITY = 8192;

// Records a call (a string literal) while tracing is on.
void		EFCallTraceAdd( const char* name );

// Switches tracing on or off; switching empties the trace.
void		EFCallTraceEnable( bool enable );

// Names recorded, oldest first; index below EFCallTraceCount.
u32			EFCallTraceCount();
const char*	EFCallTraceAt( u32 index );

// Calls of one name among those recorded.
u32			EFCallTraceCountOf( const char* name );

#endif
