/*
===============================================================================

	The drawable part of a game object ("3D_OBJECT_INST", class 15): a
	positioned instance sharing a loaded model resource and its clump,
	drawing the clump's atomics of the level of detail the world asks for.

	Initialize adopts the clump's frame under the owner's frame, binds the
	skeleton, takes the blend mode from the descriptor's instance flags
	(8 alpha, else 32 additive, else 64 multiplicative) and hides the
	atomics from the library's own world rendering: each atomic's render
	callback is kept in its atomic data and EmptyRender put in its place.
	An object without a resource or without a clump initialises to
	nothing (0), and drawing, lighting and the hierarchy update then do
	nothing.

	Render draws, in clump order, the atomics with the render flag whose
	level of detail is lod & 7, each with the blending colour modulating
	at most 32 materials (saved and restored exactly), the stencil write
	around objects of logic flag 0x8000, the texture fader in charge while
	it holds the object, the playing texture animations around the draw,
	and depth writes forced on around the kept callback of objects whose
	logic is "shorelineclip". An atomic without a kept callback runs
	through its pipeline, or the default atomic pipeline. Drawing
	allocates nothing.

	The skeleton: the first frame below the clump's root that carries a
	hierarchy, bound to the skinned atomics; the joint transforms are 2n
	records for n nodes, the first half driving the nodes when state 0x80
	is set, the second half lent out by LockTransfo.

	A joint index at or above the node count names no node: such a
	primitive rides on the object's own frame.

===============================================================================
*/
#ifndef EF_3D_OBJ_H
#define EF_3D_OBJ_H

#include "framework/graphics/EF3dObj_SP.h"

class DTSphere;
class EFAnimCollPrim;
class EFObjCollisionPrim;
class EFPhysic;
struct RwFrame;

constexpr s32 EF_3D_OBJ_CLASS_ID			= 15;

// Descriptor instance flags choosing the blend mode, first match wins.
constexpr s32 EF_3D_OBJ_INSTANCE_ALPHA		= 8;
constexpr s32 EF_3D_OBJ_INSTANCE_ADDITIVE	= 32;
constexpr s32 EF_3D_OBJ_INSTANCE_MULTIPLIED	= 64;

// Levels of detail Render tells apart (lod & 7).
constexpr u32 EF_3D_OBJ_LOD_MASK			= 7;
// Materials per geometry the blending colour modulates.
constexpr u32 EF_3D_OBJ_MAX_MATERIALS		= 32;
// Logic flag of objects drawn with the stencil write.
constexpr u32 EF_3D_OBJ_STENCIL_LOGIC_FLAG	= 0x8000;

// DTTransfo::muiState values read by the hierarchy update.
constexpr u32 EF_TRANSFO_EULER				= 0x01;
constexpr u32 EF_TRANSFO_INVERSE_SCALE		= 0x04;
constexpr u32 EF_TRANSFO_OWN_FRAME			= 0x08;

class EF3dObj : public EF3dObj_SP {
public:
							EF3dObj();
	// The fader forgets the object, the transforms go, the frame leaves
	// its parent, the texture animations are forgotten and the resource
	// is released (deleted with its last user).
	virtual					~EF3dObj();

	static void *			Instanciate();

	bool					Initialize( const DTCreationParameters & params ) override;
	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	// A new object over a copy of the resource.
	EFInstance *			ShallowCopy() override;

	// Draws the clump's atomics of the level of detail lod & 7.
	virtual void			Render( u16 lod );

	// Sets (non-zero) or clears the lighting flag of every atomic's geometry.
	void					LightObject( u32 lit );

	// The node index of a joint: an id above 65535 is a node id; -1
	// without a hierarchy or for an index past the nodes.
	s32						GetJointIndex( u32 id ) const;
	// The frame a joint's primitive rides on: the joint's node, or the
	// object's own frame for -1, no hierarchy or a joint past the nodes.
	DTFrame *				GetJointFrame( s32 joint ) const;

	// Gives body the model's collision primitives: the model's sphere, one
	// slot per stored record, each primitive on its joint's frame with the
	// record's defaults. A polygon set the model's data does not hold
	// leaves its slot empty. The number of primitives made; 0, the body
	// untouched, for a model without records.
	s32						CreateCollisionPrimitives( EFPhysic & body );
	// The model's bounding sphere; a zero sphere without one.
	void					GetDefaultPhysicBSphere( DTSphere & sphere ) const;
	// Record index's sizes (into a record of the stored shape's kind),
	// offset and attributes; clears the record's reset flag.
	void					GetDefaultCollPrimAttrib( u32 index, EFAnimCollPrim & primitive ) const;
	// Once per primitive (primitive flag 0x01, set at the end): the sizes
	// by the primitive's shape (a polygon set's polygons), the offset
	// added to its position, the attributes as its base words merged
	// under its locks.
	void					GetDefaultCollPrimAttrib( u32 index, EFObjCollisionPrim & primitive ) const;

	// The first atomic's bounding sphere (resynchronised first), or null
	// without an atomic.
	DTSphere *				GetClippingBSphere() const;
	// With a hierarchy: every atomic's bounding sphere becomes sphere,
	// whose centre is given in the space of the first node.
	void					SetClippingBSphere( DTSphere & sphere );

	// Binds the first hierarchy below the clump's root; 1, or 0 without one.
	s32						InitHierarchy();
	// Brings the node frames up to date with the first transform set.
	void					UpdateHierarchy();
	// 2 x count transforms; first-half record i gets joint i.
	void					InitTransfo( u32 count );
	// The second transform set when it is free (taking it), else null.
	DTTransfo *				LockTransfo();
	void					ReleaseTransfo( DTTransfo * transfo );
	// Joint transforms in each half (the hierarchy's node count).
	u32						GetNbTransfo() const { return muiNbTransfo; }

private:
	// Drawing of one atomic, steps 1 to 5.
	void					RenderAtomic( RpAtomic * atomic, u32 lod );
	void					DrawAtomic( RpAtomic * atomic, u32 lod );
	bool					IsShorelineClip() const;
	void					ApplyTransfo( const DTTransfo & transfo, RwFrame * frame );
	// Number of joint transforms in each half.
	u32						muiNbTransfo;
};

#endif
