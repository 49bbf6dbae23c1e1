/*
===============================================================================

	Animated collision-primitive record: one link of the chain a
	hierarchical animation produces in work memory, setting a body's
	bounding sphere, its translation or one primitive.

	Kinds: 0 the global bounding sphere, 1 a translation (both four
	floats: centre or translation, then radius or w); 2 sphere, 3 box,
	4 swept sphere (eleven attribute words, an offset vector and the
	shape: radius; half extents; radius and segment vector). Flags: 0x1
	set by a wrap of the animation, 0x2 reset the primitive to its
	defaults. The record size is that of the kind's record.

	The chain keeps the translation record directly behind the first one
	and all others in ascending primitive index.

===============================================================================
*/
#ifndef EF_ANIM_COLL_PRIM_H
#define EF_ANIM_COLL_PRIM_H

#include "datatypes/base/DTTypes.h"

enum EFAnimCollPrimKind : u32 {
	EF_ANIM_COLL_BSPHERE		= 0,
	EF_ANIM_COLL_TRANSLATION	= 1,
	EF_ANIM_COLL_SPHERE			= 2,
	EF_ANIM_COLL_BOX			= 3,
	EF_ANIM_COLL_SWEPT_SPHERE	= 4,
};

// Flags of a record.
constexpr u32 EF_ANIM_COLL_WRAP			= 0x1;
constexpr u32 EF_ANIM_COLL_RESET		= 0x2;

// Attribute words of a primitive record.
constexpr u32 EF_ANIM_COLL_ATTRIBUTES	= 11;

class EFAnimCollPrim {
public:
	u32						muiKind;
	u32						muiIndex;
	u32						muiFlags;
	u32						muiSize;
	EFAnimCollPrim *		mpNext;
};

// Kinds 0 and 1.
class EFAnimCollPrimPoint : public EFAnimCollPrim {
public:
	f32						mfValues[4];
};

// Kinds 2 to 4: the attributes and offset, then the shape.
class EFAnimCollPrimShape : public EFAnimCollPrim {
public:
	u32						muiAttributes[EF_ANIM_COLL_ATTRIBUTES];
	f32						mfOffset[3];
};

class EFAnimCollPrimSphere : public EFAnimCollPrimShape {
public:
	f32						mfRadius;
};

class EFAnimCollPrimBox : public EFAnimCollPrimShape {
public:
	f32						mfHalfExtents[3];
};

class EFAnimCollPrimSweptSphere : public EFAnimCollPrimShape {
public:
	f32						mfRadius;
	f32						mfSegment[3];
};

// sizeof the record of kind, 0 for an unknown kind.
u32							EFAnimCollPrimSize( u32 kind );

#endif
