/*
===============================================================================

	Parameter records of the group queries, one per retriever, as logic
	passes them by address: 32-bit fields, at most eight, in a 32-byte
	union defined with the records logic modules share. Every record starts with uiLastRetrieved, the walk cursor the
	record carries from call to call: EF_RETRIEVER_START begins a walk,
	EF_RETRIEVER_DONE (all, children, parent, nearest) and
	EF_RETRIEVER_END (group, in-range) end it; other values are the
	retriever's own position, never a pointer.

	The ID and mask forms of a record have the same layout, so a walk may
	read their shared fields through either.

===============================================================================
*/
#ifndef OBJECT_RETRIEVER_PARAMS_H
#define OBJECT_RETRIEVER_PARAMS_H

#include "datatypes/base/DTTypes.h"
#include "framework/logic/api/LogicApiRecords.h"

constexpr u32 EF_RETRIEVER_START	= 1;
constexpr u32 EF_RETRIEVER_DONE		= 0;
constexpr u32 EF_RETRIEVER_END		= 0x7FFFFFFE;

// Query ids.
constexpr u32 EF_QUERY_ALL			= 0xff000001;
constexpr u32 EF_QUERY_NEAREST_ID	= 0xff000002;
constexpr u32 EF_QUERY_NEAREST_MASK	= 0xff000004;
constexpr u32 EF_QUERY_GROUP_ID		= 0xff000008;
constexpr u32 EF_QUERY_GROUP_MASK	= 0xff000010;
constexpr u32 EF_QUERY_PARENT		= 0xff000020;
constexpr u32 EF_QUERY_CHILDREN		= 0xff000040;
constexpr u32 EF_QUERY_IN_RANGE_ID	= 0xff000080;
constexpr u32 EF_QUERY_IN_RANGE_MASK	= 0xff000100;

static_assert( sizeof( ObjectRetrieverParams ) == 32, "logic passes retriever parameters as 32 bytes" );
static_assert( sizeof( NearestIDRetrieverParams ) == 32 && sizeof( InRangeIDRetrieverParams ) == 32,
			   "the largest records fill the union" );

#endif
