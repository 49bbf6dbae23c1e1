#include "graphics3d/core/RwMatrix.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFreeList.h"

#include <cstring>

RwModuleInfo matrixModule;

// Record of the matrix free list while the module is open.
static RwFreeList matrixFreeListRecord;

static const f32 DEFAULT_TOLERANCE = 0.01f;
static const RwMatrixTolerance defaultTolerance = { DEFAULT_TOLERANCE, DEFAULT_TOLERANCE, DEFAULT_TOLERANCE };

static RwMatrixGlobals* Globals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( matrixModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RwMatrixGlobals>( instance, matrixModule.globalsOffset );
}

// The module's own product, row-vector convention.
static void MultiplyOwn( RwMatrix* dst, const RwMatrix* a, const RwMatrix* b ) {
	const RwV3d* const rows[4] = { &a->right, &a->up, &a->at, &a->pos };
	RwV3d* const out[4] = { &dst->right, &dst->up, &dst->at, &dst->pos };
	for ( u32 i = 0; i < 4; i++ ) {
		const RwV3d r = *rows[i];
		out[i]->x = r.x * b->right.x + r.y * b->up.x + r.z * b->at.x;
		out[i]->y = r.x * b->right.y + r.y * b->up.y + r.z * b->at.y;
		out[i]->z = r.x * b->right.z + r.y * b->up.z + r.z * b->at.z;
	}
	dst->pos.x += b->pos.x;
	dst->pos.y += b->pos.y;
	dst->pos.z += b->pos.z;
}

void _rwMatrixSetIdentity( RwMatrix* matrix ) {
	*matrix = RwMatrix{ { 1.0f, 0.0f, 0.0f }, rwMATRIXIDENTITYFLAGS, { 0.0f, 1.0f, 0.0f }, 0,
						{ 0.0f, 0.0f, 1.0f }, 0, { 0.0f, 0.0f, 0.0f }, 0 };
}

RwMatrix* RwMatrixCreate() {
	RwMatrixGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	RwMatrix* const matrix = static_cast<RwMatrix*>( RwEngineInstance->freeListAllocHook( globals->matrixFreeList ) );
	if ( matrix != nullptr ) {
		_rwMatrixSetIdentity( matrix );
	}
	return matrix;
}

bool RwMatrixDestroy( RwMatrix* matrix ) {
	RwMatrixGlobals* const globals = Globals();
	if ( globals != nullptr && matrix != nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->matrixFreeList, matrix );
	}
	return true;
}

void RwMatrixMultiply( RwMatrix* dst, const RwMatrix* a, const RwMatrix* b ) {
	const RwMatrixGlobals* const globals = Globals();
	const RwMatrixMultFn multiply = globals != nullptr ? globals->multMatrix : MultiplyOwn;
	multiply( dst, a, b );
	dst->flags = a->flags & b->flags;
}

static u32 IdentityMask() {
	const RwMatrixGlobals* const globals = Globals();
	return globals != nullptr ? globals->matrixOptimizeMask : rwMATRIXINTERNALIDENTITY;
}

static RwV3d Negate( const RwV3d v ) {
	return RwV3d{ -v.x, -v.y, -v.z };
}

// Transpose of the rotation; the position is carried back through it.
static void InvertOrthonormal( RwMatrix* dst, const RwMatrix& src ) {
	dst->right = { src.right.x, src.up.x, src.at.x };
	dst->up = { src.right.y, src.up.y, src.at.y };
	dst->at = { src.right.z, src.up.z, src.at.z };
	dst->pos = Negate( RwV3d{ RwV3dDotProduct( &src.pos, &src.right ), RwV3dDotProduct( &src.pos, &src.up ),
							  RwV3dDotProduct( &src.pos, &src.at ) } );
	dst->flags = ( dst->flags | rwMATRIXTYPEORTHONORMAL ) & ~rwMATRIXINTERNALIDENTITY;
}

// Adjugate over the determinant; a zero determinant (of either sign)
// divides by 1, so a degenerate matrix still gives a finite result.
static void InvertGeneral( RwMatrix* dst, const RwMatrix& src ) {
	RwV3d upAt;
	RwV3d atRight;
	RwV3d rightUp;
	RwV3dCrossProduct( &upAt, &src.up, &src.at );
	RwV3dCrossProduct( &atRight, &src.at, &src.right );
	RwV3dCrossProduct( &rightUp, &src.right, &src.up );
	const f32 determinant = RwV3dDotProduct( &src.right, &upAt );
	const f32 factor = determinant == 0.0f ? 1.0f : 1.0f / determinant;
	dst->right = { upAt.x * factor, atRight.x * factor, rightUp.x * factor };
	dst->up = { upAt.y * factor, atRight.y * factor, rightUp.y * factor };
	dst->at = { upAt.z * factor, atRight.z * factor, rightUp.z * factor };
	const RwV3d p = src.pos;
	dst->pos = Negate( RwV3d{ p.x * dst->right.x + p.y * dst->up.x + p.z * dst->at.x,
							  p.x * dst->right.y + p.y * dst->up.y + p.z * dst->at.y,
							  p.x * dst->right.z + p.y * dst->up.z + p.z * dst->at.z } );
	dst->flags &= ~rwMATRIXINTERNALIDENTITY;
}

RwMatrix* RwMatrixInvert( RwMatrix* dst, const RwMatrix* src ) {
	// A copy lets dst be src.
	const RwMatrix source = *src;
	if ( source.flags & IdentityMask() ) {
		std::memcpy( dst, &source, sizeof( RwMatrix ) );
	} else if ( ( source.flags & rwMATRIXTYPEORTHONORMAL ) == rwMATRIXTYPEORTHONORMAL ) {
		InvertOrthonormal( dst, source );
	} else {
		InvertGeneral( dst, source );
	}
	return dst;
}

static bool IsZero( const RwV3d& v ) {
	return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

// A zero row stays zero: _rwInvSqrt (0) is 0.
static void NormalizeRow( RwV3d* row ) {
	const f32 scale = _rwInvSqrt( RwV3dDotProduct( row, row ) );
	row->x *= scale;
	row->y *= scale;
	row->z *= scale;
}

// c = normalise (a x b), then b = normalise (c x a): a keeps its direction.
static void Rebuild( RwV3d* a, RwV3d* b, RwV3d* c ) {
	RwV3dCrossProduct( c, a, b );
	NormalizeRow( c );
	RwV3dCrossProduct( b, c, a );
	NormalizeRow( b );
}

static f32 Abs( const f32 v ) {
	return v < 0.0f ? -v : v;
}

RwMatrix* RwMatrixOrthoNormalize( RwMatrix* dst, const RwMatrix* src ) {
	RwV3d right = src->right;
	RwV3d up = src->up;
	RwV3d at = src->at;
	const RwV3d pos = src->pos;
	NormalizeRow( &right );
	NormalizeRow( &up );
	NormalizeRow( &at );
	if ( IsZero( right ) ) {
		Rebuild( &up, &at, &right );
	} else if ( IsZero( up ) ) {
		Rebuild( &at, &right, &up );
	} else if ( IsZero( at ) ) {
		Rebuild( &right, &up, &at );
	} else {
		// The pair of rows closest to orthogonal is kept (the first of the
		// pair exactly) and the third row is rebuilt from it.
		const f32 dotUpAt = Abs( RwV3dDotProduct( &up, &at ) );
		const f32 dotAtRight = Abs( RwV3dDotProduct( &at, &right ) );
		const f32 dotRightUp = Abs( RwV3dDotProduct( &right, &up ) );
		if ( dotUpAt < dotAtRight && dotUpAt < dotRightUp ) {
			Rebuild( &up, &at, &right );
		} else if ( dotAtRight < dotRightUp ) {
			Rebuild( &at, &right, &up );
		} else {
			Rebuild( &right, &up, &at );
		}
	}
	dst->right = right;
	dst->up = up;
	dst->at = at;
	dst->pos = pos;
	dst->flags = ( dst->flags | rwMATRIXTYPEORTHONORMAL ) & ~rwMATRIXINTERNALIDENTITY;
	return dst;
}

static f32 Square( const f32 v ) {
	return v * v;
}

f32 _rwMatrixDeterminant( const RwMatrix* matrix ) {
	RwV3d upAt;
	RwV3dCrossProduct( &upAt, &matrix->up, &matrix->at );
	return RwV3dDotProduct( &matrix->right, &upAt );
}

f32 _rwMatrixNormalError( const RwMatrix* matrix ) {
	return Square( RwV3dDotProduct( &matrix->right, &matrix->right ) - 1.0f ) +
		   Square( RwV3dDotProduct( &matrix->up, &matrix->up ) - 1.0f ) +
		   Square( RwV3dDotProduct( &matrix->at, &matrix->at ) - 1.0f );
}

f32 _rwMatrixOrthogonalError( const RwMatrix* matrix ) {
	return Square( RwV3dDotProduct( &matrix->right, &matrix->up ) ) +
		   Square( RwV3dDotProduct( &matrix->up, &matrix->at ) ) +
		   Square( RwV3dDotProduct( &matrix->at, &matrix->right ) );
}

f32 _rwMatrixIdentityError( const RwMatrix* matrix ) {
	const RwV3d& r = matrix->right;
	const RwV3d& u = matrix->up;
	const RwV3d& a = matrix->at;
	return Square( r.x - 1.0f ) + Square( r.y ) + Square( r.z ) +
		   Square( u.x ) + Square( u.y - 1.0f ) + Square( u.z ) +
		   Square( a.x ) + Square( a.y ) + Square( a.z - 1.0f ) +
		   RwV3dDotProduct( &matrix->pos, &matrix->pos );
}

RwMatrixTolerance _rwMatrixGetTolerances() {
	const RwMatrixGlobals* const globals = Globals();
	return globals != nullptr ? globals->tolerance : defaultTolerance;
}

RwMatrix* RwMatrixOptimize( RwMatrix* matrix, const RwMatrixTolerance* tolerance ) {
	const RwMatrixTolerance limits = tolerance != nullptr ? *tolerance : _rwMatrixGetTolerances();
	const bool normal = _rwMatrixNormalError( matrix ) <= limits.Normal;
	const bool orthogonal = _rwMatrixOrthogonalError( matrix ) <= limits.Orthogonal;
	const bool identity = normal && orthogonal && _rwMatrixIdentityError( matrix ) <= limits.Identity;
	u32 flags = matrix->flags & ~rwMATRIXIDENTITYFLAGS;
	flags |= normal ? rwMATRIXTYPENORMAL : 0;
	flags |= orthogonal ? rwMATRIXTYPEORTHOGONAL : 0;
	flags |= identity ? rwMATRIXINTERNALIDENTITY : 0;
	matrix->flags = flags;
	return matrix;
}

bool RwEngineSetMatrixTolerances( const RwMatrixTolerance* tolerance ) {
	RwMatrixGlobals* const globals = Globals();
	if ( globals != nullptr && tolerance != nullptr ) {
		globals->tolerance = *tolerance;
	}
	return true;
}

void* _rwMatrixOpen( void* instance, const s32 offset, s32 ) {
	RwMatrixGlobals* const globals = RwPluginData<RwMatrixGlobals>( instance, offset );
	globals->matrixFreeList = RwFreeListCreateAndPreallocateSpace( static_cast<s32>( sizeof( RwMatrix ) ),
																   RWMATRIX_ENTRIES_PER_BLOCK, 4, 1, &matrixFreeListRecord );
	if ( globals->matrixFreeList == nullptr ) {
		return nullptr;
	}
	globals->matrixOptimizeMask = rwMATRIXINTERNALIDENTITY;
	globals->multMatrix = MultiplyOwn;
	globals->tolerance = defaultTolerance;
	matrixModule.globalsOffset = offset;
	matrixModule.numInstances++;
	return instance;
}

void* _rwMatrixClose( void* instance, const s32 offset, s32 ) {
	if ( matrixModule.numInstances <= 0 ) {
		return instance;
	}
	RwMatrixGlobals* const globals = RwPluginData<RwMatrixGlobals>( instance, offset );
	RwFreeListDestroy( globals->matrixFreeList );
	globals->matrixFreeList = nullptr;
	matrixModule.numInstances--;
	return instance;
}
