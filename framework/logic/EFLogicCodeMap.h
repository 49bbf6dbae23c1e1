/*
===============================================================================

	The loaded logic modules of a level, by code id.

	Game objects name their module by code id; this map answers them. A
	module loaded under an id that is already taken replaces the earlier
	one in the map, but the earlier one is kept on a retired list rather
	than deleted, since objects may already point at it. Both the map's
	modules and the retired ones are deleted when the level's logic ends.

===============================================================================
*/
#ifndef EF_LOGIC_CODE_MAP_H
#define EF_LOGIC_CODE_MAP_H

#include "datatypes/containers/DTMap.h"
#include "datatypes/containers/DTVector.h"

class EFLogicCode;

class EFLogicCodeMap {
public:
							EFLogicCodeMap();
							~EFLogicCodeMap();

							EFLogicCodeMap( const EFLogicCodeMap & ) = delete;
	EFLogicCodeMap &		operator=( const EFLogicCodeMap & ) = delete;

	// Enters code under its id, replacing (and retiring) any other module
	// with that id. Adding a module that is already the entry does nothing.
	void					Add( EFLogicCode * code );
	// The module of id, or null.
	EFLogicCode *			Get( u32 id ) const;
	// Deletes every module, retired ones included, and empties the map.
	void					DeleteAll();

	u32						GetCount() const { return moCodes.GetCount(); }
	u32						GetRetiredCount() const { return moRetired.GetSize(); }

private:
	DTMap<u32, EFLogicCode *>	moCodes;
	DTVector<EFLogicCode *>		moRetired;
};

#endif
