/*
===============================================================================

	Material lists of the 3D library: the growable arrays of material
	references that triangles index by position.

	Every entry holds one reference of its material; the same material may
	sit at several positions, each with its own reference. Appending grows
	the array by 20 entries when it is full.

	A material list chunk (0x08) is a struct (count, then one index per
	entry) followed by the materials: a negative index means a material
	chunk follows, an index of 0 or more reuses the entry already read at
	that position. The count must fit the struct and an index must name an
	earlier entry; a list that cannot be read completely is emptied again
	and nothing it read stays allocated.

===============================================================================
*/
#ifndef RP_MATERIAL_LIST_H
#define RP_MATERIAL_LIST_H

#include "datatypes/base/DTTypes.h"

struct RpMaterial;
struct RwStream;

struct RpMaterialList {
	RpMaterial**	materials;
	s32				numMaterials;
	s32				space;			// capacity of materials
};

// Chunk type of a material list.
constexpr u32 rwID_MATLIST = 0x08;

// Entries a full list grows by.
constexpr s32 RPMATERIALLIST_GROWTH = 20;

// Zeroes the three fields.
RpMaterialList*	_rpMaterialListInitialize( RpMaterialList* list );
// Drops every entry's reference, frees the array and zeroes the fields.
RpMaterialList*	_rpMaterialListDeinitialize( RpMaterialList* list );
// No range check: callers check the index.
RpMaterial*		_rpMaterialListGetMaterial( const RpMaterialList* list, s32 index );
// The new entry's index with a new reference of the material; -1 when
// the array cannot grow (0x80000013).
s32				_rpMaterialListAppendMaterial( RpMaterialList* list, RpMaterial* material );
// The highest index holding the material, or -1.
s32				_rpMaterialListFindMaterialIndex( const RpMaterialList* list, const RpMaterial* material );
// The stream positioned inside a material list chunk; reads into an empty
// list. Null on failure, with the list empty.
RpMaterialList*	_rpMaterialListStreamRead( RwStream* stream, RpMaterialList* list );

#endif
