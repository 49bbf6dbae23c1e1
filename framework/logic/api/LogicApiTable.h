/*
===============================================================================

	Filling of the API tables that logic modules call.

	A table is a structure of function pointers whose slot order is the
	binary interface with the modules. Each table has a constant twin of
	the same layout whose every slot holds a not-initialised stub of that
	slot's own signature: the stub sets its table's flag and returns zero
	(0, 0.0, null or a zeroed record). A table starts from its twin
	(constant initialisation, so a call reaches a stub even before the
	table is filled) and InitAPI puts the twin back before the engine
	stores the functions it implements.

===============================================================================
*/
#ifndef LOGIC_API_TABLE_H
#define LOGIC_API_TABLE_H

#include "datatypes/base/DTTypes.h"
#include "framework/logic/api/LogicApiSlots.h"

#include <type_traits>

// The width of one slot.
typedef void ( *LogicApiSlot )( void );

// Copies slotCount slots of stubs over table; both have one layout.
void		InitAPI( void * table, u32 slotCount, const void * stubs );

// The stub of one function type in the table whose flag NotInit sets.
template< void ( *NotInit )(), class Result, class... Args >
Result LogicApiStub( Args... ) {
	NotInit();
	if constexpr ( !std::is_void_v<Result> ) {
		return Result{};
	}
}

template< void ( *NotInit )(), class Result, class... Args >
Result LogicApiStubVariadic( Args..., ... ) {
	NotInit();
	if constexpr ( !std::is_void_v<Result> ) {
		return Result{};
	}
}

// Stores into a slot the stub of the slot's own signature.
template< void ( *NotInit )() >
struct LogicApiStubSetter {
	template< class Result, class... Args >
	constexpr void operator()( Result ( *&slot )( Args... ) ) const {
		slot = LogicApiStub<NotInit, Result, Args...>;
	}
	template< class Result, class... Args >
	constexpr void operator()( Result ( *&slot )( Args..., ... ) ) const {
		slot = LogicApiStubVariadic<NotInit, Result, Args...>;
	}
};

// A table whose every slot is its stub.
template< class Table, void ( *NotInit )() >
constexpr Table MakeLogicApiStubs() {
	Table table = {};
	VisitSlots( table, LogicApiStubSetter<NotInit>{} );
	return table;
}

#endif
