#include "framework/logic/api/LogicApiTable.h"

#include <cstring>

void InitAPI( void * table, const u32 slotCount, const void * stubs ) {
	if ( table == nullptr || stubs == nullptr ) {
		return;
	}
	// Slots of different types are copied as bytes: no slot is ever read
	// through a pointer of another function type.
	std::memcpy( table, stubs, static_cast<size_t>( slotCount ) * sizeof( LogicApiSlot ) );
}
