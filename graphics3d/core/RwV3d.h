/*
===============================================================================

	Vector module of the 3D library.

	3-vectors of 32-bit floats, table-driven square roots and the point and
	vector transforms of arrays.

	_rwSqrt and _rwInvSqrt cost two table look-ups and integer arithmetic.
	The tables (4096 words each) are built when the module opens, from the
	double-precision root rounded once to single precision; a zero bit
	pattern is returned as it is, so _rwInvSqrt (0) is 0 and a zero vector
	normalises to zero. Negative inputs are not handled.

	Array transforms go through two replaceable hooks, so that a device can
	install faster routines that must give the same results; a null hook
	given to _rwVectorSetMultFn puts the module's own routine back. Output
	may alias input: each element is read whole before it is written.

===============================================================================
*/
#ifndef RW_V3D_H
#define RW_V3D_H

#include "graphics3d/core/RwPlugin.h"

struct RwMatrix;

struct RwV3d {
	f32		x;
	f32		y;
	f32		z;
};

// Transforms count elements of in into out; returns out.
typedef RwV3d* ( *RwVectorMultFn )( RwV3d* out, const RwV3d* in, s32 count, const RwMatrix* matrix );

// Entries of each square-root table.
constexpr u32 RWSQRT_TABLE_ENTRIES = 4096;

// The module's globals in the engine instance.
struct RwVectorGlobals {
	u32*			SqrtTable;
	u32*			InvSqrtTable;
	RwVectorMultFn	multPoint;		// point hook (translation applied)
	RwVectorMultFn	multVector;		// vector hook (no translation)
};

extern RwModuleInfo	vectorModule;

f32		_rwSqrt( f32 x );
f32		_rwInvSqrt( f32 x );
f32		RwV3dLength( const RwV3d* v );
// out = in scaled to unit length; returns the former length. A length of
// 0 or less records core error 25 (and out becomes zero for a zero in).
f32		RwV3dNormalize( RwV3d* out, const RwV3d* in );

f32		RwV3dDotProduct( const RwV3d* a, const RwV3d* b );
// out = a x b; out may alias a or b.
void	RwV3dCrossProduct( RwV3d* out, const RwV3d* a, const RwV3d* b );

// Through the hooks: points p.x*right + p.y*up + p.z*at + pos, vectors
// without pos. Return out.
RwV3d*	RwV3dTransformPoints( RwV3d* out, const RwV3d* in, s32 count, const RwMatrix* matrix );
RwV3d*	RwV3dTransformVectors( RwV3d* out, const RwV3d* in, s32 count, const RwMatrix* matrix );

// Installs the two hooks; a null one restores the module's routine.
// False while the module is not open.
bool	_rwVectorSetMultFn( RwVectorMultFn multPoint, RwVectorMultFn multVector );

// The module's own routines, which every installed routine must match.
RwV3d*	_rwV3dTransformPointsOwn( RwV3d* out, const RwV3d* in, s32 count, const RwMatrix* matrix );
RwV3d*	_rwV3dTransformVectorsOwn( RwV3d* out, const RwV3d* in, s32 count, const RwMatrix* matrix );

// Engine plug-in open (builds the tables; null when they cannot be
// allocated, recording 0x80000013 with 0x4000) and close.
void*	_rwVectorOpen( void* instance, s32 offset, s32 size );
void*	_rwVectorClose( void* instance, s32 offset, s32 size );

#endif
