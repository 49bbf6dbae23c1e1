/*
===============================================================================

	Layout of the table `_api_math` that a module gets from the root table:
	single-precision maths, and vector and matrix operations on
	DTVector3d and DTMatrix.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_MATH_H
#define LOGIC_TABLE_MATH_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_MATH_SLOTS		76
#define LOGIC_API_MATH_PAD_SLOTS	16

struct _api_math {
	f32								( *acos )( f32 x );
	f32								( *asin )( f32 x );
	f32								( *atan )( f32 x );
	f32								( *atan2 )( f32 y, f32 x );
	f32								( *ceil )( f32 x );
	f32								( *cos )( f32 x );
	f32								( *cosh )( f32 x );
	f32								( *exp )( f32 x );
	f32								( *fabs )( f32 x );
	f32								( *floor )( f32 x );
	f32								( *fmod )( f32 x, f32 y );
	f32								( *frexp )( f32 x, s32 * exponent );
	f32								( *ldexp )( f32 x, s32 exponent );
	f32								( *log )( f32 x );
	f32								( *log10 )( f32 x );
	f32								( *modf )( f32 x, f32 * integral );
	f32								( *pow )( f32 x, f32 y );
	f32								( *sin )( f32 x );
	f32								( *sinh )( f32 x );
	f32								( *sqrt )( f32 x );
	f32								( *tan )( f32 x );
	f32								( *tanh )( f32 x );
	void							( *CVectorSet )( DTVector3d * v, f32 x, f32 y, f32 z );
	DTVector3d *					( *CVectorAdd )( DTVector3d * dst, DTVector3d * a, DTVector3d * b );
	DTVector3d *					( *CVectorSub )( DTVector3d * dst, DTVector3d * a, DTVector3d * b );
	f32								( *CVectorDot )( DTVector3d * a, DTVector3d * b );
	DTVector3d *					( *CVectorCross )( DTVector3d * dst, DTVector3d * a, DTVector3d * b );
	f32								( *CVectorLength )( DTVector3d * v );
	DTVector3d *					( *CVectorNegate )( DTVector3d * dst, DTVector3d * src );
	DTVector3d *					( *CVectorNormalize )( DTVector3d * dst, DTVector3d * src );
	DTVector3d *					( *CVectorScale )( DTVector3d * dst, DTVector3d * src, f32 s );
	u8								( *CVectorAreEqualEpsilon )( DTVector3d * a, DTVector3d * b, u32 e );
	f32								( *CVectorGetAngleTo )( DTVector3d * a, DTVector3d * b );
	DTVector3d *					( *CVectorProjectOnto )( DTVector3d * dst, DTVector3d * v, DTVector3d * onto );
	DTVector3d *					( *CVectorProjectOntoPlane )( DTVector3d * dst, DTVector3d * v, DTVector3d * a, DTVector3d * b );
	f32								( *CVectorGetDirectionAndDistanceTo )( DTVector3d * dir, DTVector3d * from, DTVector3d * to );
	DTMatrix *						( *CMatGetWorkMatrix )( void );
	void							( *CMatSetIdentity )( DTMatrix * m );
	DTMatrix *						( *CMatCreateIdentity )( void );
	void							( *CMatDestroy )( DTMatrix * m );
	void							( *CMatGetPos )( DTVector3d * out, DTMatrix * m );
	void							( *CMatGetAt )( DTVector3d * out, DTMatrix * m );
	void							( *CMatGetUp )( DTVector3d * out, DTMatrix * m );
	void							( *CMatGetRight )( DTVector3d * out, DTMatrix * m );
	void							( *CMatSetPos )( DTMatrix * m, DTVector3d * v );
	void							( *CMatSetAt )( DTMatrix * m, DTVector3d * v );
	void							( *CMatSetUp )( DTMatrix * m, DTVector3d * v );
	void							( *CMatSetRight )( DTMatrix * m, DTVector3d * v );
	void							( *CMatInvert )( DTMatrix * dst, DTMatrix * src );
	void							( *CMatTransformVector )( DTVector3d * out, DTVector3d * in, DTMatrix * m );
	void							( *CMatTransformPoint )( DTVector3d * out, DTVector3d * in, DTMatrix * m );
	void							( *CMatMultiply )( DTMatrix * dst, DTMatrix * a, DTMatrix * b );
	void							( *CMatRotate )( DTMatrix * m, DTVector3d * axis, f32 angle );
	void							( *CMatUniformScale )( DTMatrix * m, f32 s );
	void							( *CMatAlignAtWith )( DTMatrix * m, DTVector3d * target );
	void							( *CMatAlignUpWith )( DTMatrix * m, DTVector3d * target );
	void							( *CMatLookAtAlignUp )( DTMatrix * m, DTVector3d * at, DTVector3d * up );
	void							( *CMatLookUpAlignAt )( DTMatrix * m, DTVector3d * up, DTVector3d * at );
	void							( *CMatCopy )( DTMatrix * src, DTMatrix * dst );
	void							( *CMatCopyFromArray )( f32 * array, DTMatrix * m );
	void							( *Pad[LOGIC_API_MATH_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_math, acos, 0 );
LOGIC_API_SLOT( _api_math, asin, 1 );
LOGIC_API_SLOT( _api_math, atan, 2 );
LOGIC_API_SLOT( _api_math, atan2, 3 );
LOGIC_API_SLOT( _api_math, ceil, 4 );
LOGIC_API_SLOT( _api_math, cos, 5 );
LOGIC_API_SLOT( _api_math, cosh, 6 );
LOGIC_API_SLOT( _api_math, exp, 7 );
LOGIC_API_SLOT( _api_math, fabs, 8 );
LOGIC_API_SLOT( _api_math, floor, 9 );
LOGIC_API_SLOT( _api_math, fmod, 10 );
LOGIC_API_SLOT( _api_math, frexp, 11 );
LOGIC_API_SLOT( _api_math, ldexp, 12 );
LOGIC_API_SLOT( _api_math, log, 13 );
LOGIC_API_SLOT( _api_math, log10, 14 );
LOGIC_API_SLOT( _api_math, modf, 15 );
LOGIC_API_SLOT( _api_math, pow, 16 );
LOGIC_API_SLOT( _api_math, sin, 17 );
LOGIC_API_SLOT( _api_math, sinh, 18 );
LOGIC_API_SLOT( _api_math, sqrt, 19 );
LOGIC_API_SLOT( _api_math, tan, 20 );
LOGIC_API_SLOT( _api_math, tanh, 21 );
LOGIC_API_SLOT( _api_math, CVectorSet, 22 );
LOGIC_API_SLOT( _api_math, CVectorAdd, 23 );
LOGIC_API_SLOT( _api_math, CVectorSub, 24 );
LOGIC_API_SLOT( _api_math, CVectorDot, 25 );
LOGIC_API_SLOT( _api_math, CVectorCross, 26 );
LOGIC_API_SLOT( _api_math, CVectorLength, 27 );
LOGIC_API_SLOT( _api_math, CVectorNegate, 28 );
LOGIC_API_SLOT( _api_math, CVectorNormalize, 29 );
LOGIC_API_SLOT( _api_math, CVectorScale, 30 );
LOGIC_API_SLOT( _api_math, CVectorAreEqualEpsilon, 31 );
LOGIC_API_SLOT( _api_math, CVectorGetAngleTo, 32 );
LOGIC_API_SLOT( _api_math, CVectorProjectOnto, 33 );
LOGIC_API_SLOT( _api_math, CVectorProjectOntoPlane, 34 );
LOGIC_API_SLOT( _api_math, CVectorGetDirectionAndDistanceTo, 35 );
LOGIC_API_SLOT( _api_math, CMatGetWorkMatrix, 36 );
LOGIC_API_SLOT( _api_math, CMatSetIdentity, 37 );
LOGIC_API_SLOT( _api_math, CMatCreateIdentity, 38 );
LOGIC_API_SLOT( _api_math, CMatDestroy, 39 );
LOGIC_API_SLOT( _api_math, CMatGetPos, 40 );
LOGIC_API_SLOT( _api_math, CMatGetAt, 41 );
LOGIC_API_SLOT( _api_math, CMatGetUp, 42 );
LOGIC_API_SLOT( _api_math, CMatGetRight, 43 );
LOGIC_API_SLOT( _api_math, CMatSetPos, 44 );
LOGIC_API_SLOT( _api_math, CMatSetAt, 45 );
LOGIC_API_SLOT( _api_math, CMatSetUp, 46 );
LOGIC_API_SLOT( _api_math, CMatSetRight, 47 );
LOGIC_API_SLOT( _api_math, CMatInvert, 48 );
LOGIC_API_SLOT( _api_math, CMatTransformVector, 49 );
LOGIC_API_SLOT( _api_math, CMatTransformPoint, 50 );
LOGIC_API_SLOT( _api_math, CMatMultiply, 51 );
LOGIC_API_SLOT( _api_math, CMatRotate, 52 );
LOGIC_API_SLOT( _api_math, CMatUniformScale, 53 );
LOGIC_API_SLOT( _api_math, CMatAlignAtWith, 54 );
LOGIC_API_SLOT( _api_math, CMatAlignUpWith, 55 );
LOGIC_API_SLOT( _api_math, CMatLookAtAlignUp, 56 );
LOGIC_API_SLOT( _api_math, CMatLookUpAlignAt, 57 );
LOGIC_API_SLOT( _api_math, CMatCopy, 58 );
LOGIC_API_SLOT( _api_math, CMatCopyFromArray, 59 );
LOGIC_API_SLOT( _api_math, Pad, 60 );
LOGIC_API_TABLE_SIZE( _api_math, LOGIC_API_MATH_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
