/*
===============================================================================

	Stored description of a collision hot spot: a primitive bound to a
	joint of a 3D object, with its collision words.

	After the 3D object members come 19 of its own, then the primitive's
	sizes as floats, as many as its "PrimType" needs: a sphere (0) its
	radius, a swept sphere (1) its radius and sweep vector, a box (2) its
	half extents. Any other type gives -2 and reads nothing more.

===============================================================================
*/
#ifndef DT_HOT_SPOT_DESCRIPTOR_H
#define DT_HOT_SPOT_DESCRIPTOR_H

#include "datatypes/descriptor/DT3dObjectDescriptor.h"

constexpr s32 DT_HOT_SPOT_CLASS_ID		= 63;

// Primitive types and the sizes each stores.
constexpr u32 DT_HOT_SPOT_SPHERE		= 0;
constexpr u32 DT_HOT_SPOT_SWEPT_SPHERE	= 1;
constexpr u32 DT_HOT_SPOT_BOX			= 2;
constexpr u32 DT_HOT_SPOT_SIZES_MAX		= 4;

// Result of a primitive type the loader does not know.
constexpr s32 DT_HOT_SPOT_BAD_PRIM_TYPE	= -2;

class DTHotSpotDescriptor : public DT3dObjectDescriptor {
public:
							DTHotSpotDescriptor();
	virtual					~DTHotSpotDescriptor();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	// Members, then the primitive's sizes; the results added.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;

	// Sizes "PrimType" stores: 1, 4 or 3, and 0 for an unknown type.
	static u32				GetSizeCount( const u32 primType );

	u32						mui32PrimType;
	u32						mui32PrimitiveTag;
	u32						mui32BoneID;
	f32						mfTranslationX;
	f32						mfTranslationY;
	f32						mfTranslationZ;
	f32						mfHardness;
	f32						mfRebound;
	u32						mui32DetectionMode;
	u32						mui32Type;
	u32						mui32DetectType;
	u32						mui32UDType;
	u32						mui32UDDetectType;
	u32						mui32EnvDetectType;
	u32						mui32UDEnvDetectType;
	u32						mui32NotifyType;
	u32						mui32Arg1;
	u32						mui32Arg2;
	u32						mui32Arg3;
	// The sizes in stored order; the ones a type does not store stay 0.
	f32						mafPrimSizes[DT_HOT_SPOT_SIZES_MAX];
};

#endif
