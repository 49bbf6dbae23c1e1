/*
===============================================================================

	Matrix module of the 3D library.

	4x3 affine matrices in the row-vector convention: a point p maps to
	p.x*right + p.y*up + p.z*at + pos, and the product A*B applies A first.
	The flags word tells what a matrix is known to be, so that inversion
	and other operations can take fast paths: rows of unit length, rows
	mutually orthogonal, identity. Every other bit of the word is kept as
	it is by the operations here unless said otherwise.

	Matrices made by RwMatrixCreate come from the module's free list (256
	an entry block) and start as the identity with flags 0x20003. The
	tolerances that RwMatrixOptimize applies by default are all 0.01 after
	the module opens.

===============================================================================
*/
#ifndef RW_MATRIX_H
#define RW_MATRIX_H

#include "graphics3d/core/RwV3d.h"

struct RwFreeList;

struct RwMatrix {
	RwV3d	right;
	u32		flags;
	RwV3d	up;
	u32		pad1;
	RwV3d	at;
	u32		pad2;
	RwV3d	pos;
	u32		pad3;
};
static_assert( sizeof( RwMatrix ) == 64, "a matrix is sixteen 32-bit words" );

// Flag bits of RwMatrix.
constexpr u32 rwMATRIXTYPENORMAL		= 0x00000001;	// rows of unit length
constexpr u32 rwMATRIXTYPEORTHOGONAL	= 0x00000002;	// rows mutually orthogonal
constexpr u32 rwMATRIXTYPEORTHONORMAL	= 0x00000003;
constexpr u32 rwMATRIXINTERNALIDENTITY	= 0x00020000;
// Identity and orthonormal together: what a fresh identity carries.
constexpr u32 rwMATRIXIDENTITYFLAGS		= rwMATRIXINTERNALIDENTITY | rwMATRIXTYPEORTHONORMAL;

// How a new transform combines with a matrix.
enum RwOpCombineType : s32 {
	rwCOMBINEREPLACE		= 0,	// the matrix becomes the transform
	rwCOMBINEPRECONCAT		= 1,	// result = T * M: the transform applies first
	rwCOMBINEPOSTCONCAT		= 2,	// result = M * T
};

// Largest errors still accepted as normal, orthogonal and identity.
struct RwMatrixTolerance {
	f32		Normal;
	f32		Orthogonal;
	f32		Identity;
};

typedef void ( *RwMatrixMultFn )( RwMatrix* dst, const RwMatrix* a, const RwMatrix* b );

// The module's globals in the engine instance.
struct RwMatrixGlobals {
	RwFreeList*			matrixFreeList;
	u32					matrixOptimizeMask;		// flags that make inversion a copy
	RwMatrixMultFn		multMatrix;
	RwMatrixTolerance	tolerance;
};

extern RwModuleInfo	matrixModule;

// Entries per block of the matrix free list.
constexpr s32 RWMATRIX_ENTRIES_PER_BLOCK = 256;

// An identity matrix with flags 0x20003, or null.
RwMatrix*	RwMatrixCreate();
bool		RwMatrixDestroy( RwMatrix* matrix );

// Identity rows and position with flags 0x20003; pads cleared.
void		_rwMatrixSetIdentity( RwMatrix* matrix );

// dst = a * b with flags a AND b; dst must differ from a and b.
void		RwMatrixMultiply( RwMatrix* dst, const RwMatrix* a, const RwMatrix* b );
// dst may be src.
RwMatrix*	RwMatrixInvert( RwMatrix* dst, const RwMatrix* src );
RwMatrix*	RwMatrixOrthoNormalize( RwMatrix* dst, const RwMatrix* src );
// Recomputes bits 0x1, 0x2 and 0x20000 against the tolerances (null: the
// module's). Returns the matrix.
RwMatrix*	RwMatrixOptimize( RwMatrix* matrix, const RwMatrixTolerance* tolerance );

bool		RwEngineSetMatrixTolerances( const RwMatrixTolerance* tolerance );
// The tolerances in force: the module's, or the defaults while it is shut.
RwMatrixTolerance	_rwMatrixGetTolerances();

f32			_rwMatrixDeterminant( const RwMatrix* matrix );
// Sum over the rotation rows of (|row|^2 - 1)^2.
f32			_rwMatrixNormalError( const RwMatrix* matrix );
// (right.up)^2 + (up.at)^2 + (at.right)^2.
f32			_rwMatrixOrthogonalError( const RwMatrix* matrix );
// Squared distance of the rotation from the identity plus |pos|^2.
f32			_rwMatrixIdentityError( const RwMatrix* matrix );

// Engine plug-in open and close.
void*		_rwMatrixOpen( void* instance, s32 offset, s32 size );
void*		_rwMatrixClose( void* instance, s32 offset, s32 size );

#endif
