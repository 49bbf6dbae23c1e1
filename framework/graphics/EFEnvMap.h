/*
===============================================================================

	Environment map of the level ("EI_OCTREE_RES", class 64): an octree of
	environment-mapped geometry with its own materials, kept in the world's
	list through mpNext and walked when the world draws its environment
	maps. The drawing hooks draw nothing on this platform.

	The block is read whole and kept as stored: its words (header and
	nodes) are big-endian and decoded at access, offsets stay offsets into
	the block. Word 0 holds the block size, word 1 the version (2 only),
	then the root node's offset, the material count and the offset of the
	material chunks, a count kept as it is, the offset of the leaf data
	area, and a count and an offset handed to the drawing hook.

	A node's word 0 bit 0 marks a leaf. An inner node's words 8-15 are its
	children's offsets from the root node (0 for none); a leaf's word 10
	counts its entries, whose offsets from the leaf area start at word 14.

	Init checks every offset and size against the block and walks the whole
	tree once (bounded in depth and node count, so a cycle ends it); any
	violation disables the map. A disabled map stays registered and is
	never walked.

===============================================================================
*/
#ifndef EF_ENV_MAP_H
#define EF_ENV_MAP_H

#include "datatypes/streamable/DTStreamable.h"

struct RpMaterial;

constexpr s32 EF_ENV_MAP_CLASS_ID		= 64;
// The only version read.
constexpr u32 EF_ENV_MAP_VERSION		= 2;
// Bytes of the header, of an inner node, of a leaf before its entries.
constexpr u32 EF_ENV_MAP_HEADER_BYTES	= 36;
constexpr u32 EF_ENV_MAP_INNER_BYTES	= 64;
constexpr u32 EF_ENV_MAP_LEAF_BYTES		= 56;
// Deepest node a walk reaches.
constexpr u32 EF_ENV_MAP_MAX_DEPTH		= 32;

// A leaf's body from its word 8 on, as the drawing hook receives it.
struct EFOctNodeEnd;

class EFEnvMap : public DTStreamable {
public:
	// Sees every node of a walk; false ends the walk.
	class EFOctNodeVisitor {
	public:
		virtual				~EFOctNodeVisitor() {}
		virtual bool		Visit( EFEnvMap & map, u32 nodeOffset, bool leaf ) = 0;
	};

							EFEnvMap();
	// Destroys the materials and frees the block.
							~EFEnvMap() override;

	static void *			Instanciate();
	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	// True once the world holds it.
	bool					IsOwnedElsewhere() const override;

	// Two unused words, the block size and the rest of the block; the map
	// joins the world's list, disabled when Init refuses the block.
	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;
	// Two unused words and a file name: a disabled map joins the list.
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;

	// Takes the block over (MMMalloc'd, its size in word 0); 1 when it
	// holds a sound octree, 0 otherwise.
	u32						Init( void * block );
	// The materials of the chunks from that offset to the block's end;
	// false when the count cannot fit.
	bool					LoadMaterial( u32 offset );

	// Draws the map through the octree hooks; nothing when disabled.
	virtual void			Render();

	// Visits the node, then an inner node's children in slot order;
	// false when the walk left the block, went too deep or met more nodes
	// than the block can hold.
	bool					VisitOctree( u32 nodeOffset, EFOctNodeVisitor & visitor );
	// Hands every leaf under the node to the drawing hook.
	void					ProcessOctree( u32 nodeOffset );

	// Word i of the block (0 outside it).
	u32						Word( u32 byteOffset ) const;
	RpMaterial *			GetMaterial( u32 index ) const;
	u32						GetMaterialCount() const { return mui32MaterialCount; }
	bool					IsDisabled() const { return mbDisabled; }

	EFEnvMap *				mpNext;

private:
	u8 *					mpBlock;
	u32						mui32Size;
	u32						mui32Root;
	u32						mui32MaterialCount;
	RpMaterial **			mppMaterials;
	u32						mui32Word5;
	u32						mui32LeafArea;
	u32						mui32HookCount;
	u32						mui32HookOffset;
	bool					mbDisabled;
	bool					mbRegistered;

	bool					Visit( u32 nodeOffset, EFOctNodeVisitor & visitor, u32 depth, u32 & budget );
	bool					NodeFits( u32 nodeOffset, bool & leaf ) const;
	void					Register();
};

#endif
