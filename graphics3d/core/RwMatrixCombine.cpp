#include "graphics3d/core/RwMatrixCombine.h"

#include "graphics3d/core/RwError.h"

#include <cmath>
#include <cstring>

static bool ValidCombine( const RwOpCombineType combineOp ) {
	if ( combineOp == rwCOMBINEREPLACE || combineOp == rwCOMBINEPRECONCAT || combineOp == rwCOMBINEPOSTCONCAT ) {
		return true;
	}
	_rwErrorSetCore( _rwerror( RWERR_BAD_PARAMETER, "Invalid combination type" ) );
	return false;
}

// Rows and position of source into matrix; flags and pads stay.
static void CopyRows( RwMatrix* matrix, const RwMatrix& source ) {
	matrix->right = source.right;
	matrix->up = source.up;
	matrix->at = source.at;
	matrix->pos = source.pos;
}

// matrix = T * matrix or matrix * T; returns the product's flags.
static u32 Concatenate( RwMatrix* matrix, const RwMatrix& transform, const RwOpCombineType combineOp ) {
	RwMatrix product = *matrix;
	if ( combineOp == rwCOMBINEPRECONCAT ) {
		RwMatrixMultiply( &product, &transform, matrix );
	} else {
		RwMatrixMultiply( &product, matrix, &transform );
	}
	CopyRows( matrix, product );
	return product.flags;
}

RwMatrix* RwMatrixRotateOneMinusCosineSine( RwMatrix* matrix, const RwV3d* unitAxis, const RwOpCombineType combineOp,
											const f32 oneMinusCosine, const f32 sine ) {
	if ( !ValidCombine( combineOp ) ) {
		return nullptr;
	}
	const f32 x = unitAxis->x;
	const f32 y = unitAxis->y;
	const f32 z = unitAxis->z;
	const f32 k = oneMinusCosine;
	const f32 s = sine;
	RwMatrix rotation;
	_rwMatrixSetIdentity( &rotation );
	rotation.right = { 1.0f - ( 1.0f - x * x ) * k, x * y * k + z * s, z * x * k - y * s };
	rotation.up = { x * y * k - z * s, 1.0f - ( 1.0f - y * y ) * k, y * z * k + x * s };
	rotation.at = { z * x * k + y * s, y * z * k - x * s, 1.0f - ( 1.0f - z * z ) * k };
	const u32 flags = matrix->flags & ~rwMATRIXINTERNALIDENTITY;
	if ( combineOp == rwCOMBINEREPLACE ) {
		CopyRows( matrix, rotation );
	} else {
		Concatenate( matrix, rotation, combineOp );
	}
	matrix->flags = flags;
	return matrix;
}

RwMatrix* RwMatrixRotate( RwMatrix* matrix, const RwV3d* axis, const f32 angle, const RwOpCombineType combineOp ) {
	if ( !ValidCombine( combineOp ) ) {
		return nullptr;
	}
	const f32 radians = angle * RWMATRIX_DEGREES_TO_RADIANS;
	const f32 scale = _rwInvSqrt( RwV3dDotProduct( axis, axis ) );
	const RwV3d unitAxis = { axis->x * scale, axis->y * scale, axis->z * scale };
	return RwMatrixRotateOneMinusCosineSine( matrix, &unitAxis, combineOp, 1.0f - std::cos( radians ), std::sin( radians ) );
}

static void Multiply( RwV3d* row, const RwV3d& scale ) {
	row->x *= scale.x;
	row->y *= scale.y;
	row->z *= scale.z;
}

static void Scale( RwV3d* row, const f32 scale ) {
	row->x *= scale;
	row->y *= scale;
	row->z *= scale;
}

RwMatrix* RwMatrixScale( RwMatrix* matrix, const RwV3d* scale, const RwOpCombineType combineOp ) {
	if ( !ValidCombine( combineOp ) ) {
		return nullptr;
	}
	const RwV3d s = *scale;
	if ( combineOp == rwCOMBINEREPLACE ) {
		matrix->right = { s.x, 0.0f, 0.0f };
		matrix->up = { 0.0f, s.y, 0.0f };
		matrix->at = { 0.0f, 0.0f, s.z };
		matrix->pos = { 0.0f, 0.0f, 0.0f };
	} else if ( combineOp == rwCOMBINEPRECONCAT ) {
		Scale( &matrix->right, s.x );
		Scale( &matrix->up, s.y );
		Scale( &matrix->at, s.z );
	} else {
		Multiply( &matrix->right, s );
		Multiply( &matrix->up, s );
		Multiply( &matrix->at, s );
		Multiply( &matrix->pos, s );
	}
	matrix->flags &= ~rwMATRIXIDENTITYFLAGS;
	return matrix;
}

RwMatrix* RwMatrixTranslate( RwMatrix* matrix, const RwV3d* translation, const RwOpCombineType combineOp ) {
	if ( !ValidCombine( combineOp ) ) {
		return nullptr;
	}
	const RwV3d t = *translation;
	if ( combineOp == rwCOMBINEREPLACE ) {
		matrix->right = { 1.0f, 0.0f, 0.0f };
		matrix->up = { 0.0f, 1.0f, 0.0f };
		matrix->at = { 0.0f, 0.0f, 1.0f };
		matrix->pos = t;
		matrix->flags |= rwMATRIXTYPEORTHONORMAL;
	} else if ( combineOp == rwCOMBINEPRECONCAT ) {
		matrix->pos.x += t.x * matrix->right.x + t.y * matrix->up.x + t.z * matrix->at.x;
		matrix->pos.y += t.x * matrix->right.y + t.y * matrix->up.y + t.z * matrix->at.y;
		matrix->pos.z += t.x * matrix->right.z + t.y * matrix->up.z + t.z * matrix->at.z;
	} else {
		matrix->pos.x += t.x;
		matrix->pos.y += t.y;
		matrix->pos.z += t.z;
	}
	matrix->flags &= ~rwMATRIXINTERNALIDENTITY;
	return matrix;
}

RwMatrix* RwMatrixTransform( RwMatrix* matrix, const RwMatrix* transform, const RwOpCombineType combineOp ) {
	if ( !ValidCombine( combineOp ) ) {
		return nullptr;
	}
	if ( combineOp == rwCOMBINEREPLACE ) {
		std::memmove( matrix, transform, sizeof( RwMatrix ) );
		return matrix;
	}
	const RwMatrix t = *transform;
	matrix->flags = Concatenate( matrix, t, combineOp );
	return matrix;
}
