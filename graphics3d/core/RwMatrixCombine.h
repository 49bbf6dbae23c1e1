/*
===============================================================================

	Combining transforms with a matrix.

	Rotations, scales, translations and whole matrices are combined with a
	matrix by replacement, pre-concatenation (the new transform applies
	first: M = T * M) or post-concatenation (M = M * T). A combination
	type other than these three records 0x80000003 "Invalid combination
	type", returns null and leaves the matrix as it was.

	Flags afterwards: a rotation keeps the previous word less the identity
	bit in every mode; a scale clears 0x20003; a translation clears the
	identity bit, and translate-replace leaves any matrix orthonormal;
	RwMatrixTransform takes the product's flags (a replace copies T whole).

===============================================================================
*/
#ifndef RW_MATRIX_COMBINE_H
#define RW_MATRIX_COMBINE_H

#include "graphics3d/core/RwMatrix.h"

// Degrees to radians, as the library rounds it.
constexpr f32 RWMATRIX_DEGREES_TO_RADIANS = 0.017453292f;

// Rotation about axis (normalised here) by angle degrees.
RwMatrix*	RwMatrixRotate( RwMatrix* matrix, const RwV3d* axis, f32 angle, RwOpCombineType combineOp );
// Rotation about a unit axis given 1 - cos and sin of the angle.
RwMatrix*	RwMatrixRotateOneMinusCosineSine( RwMatrix* matrix, const RwV3d* unitAxis, RwOpCombineType combineOp,
											  f32 oneMinusCosine, f32 sine );
RwMatrix*	RwMatrixScale( RwMatrix* matrix, const RwV3d* scale, RwOpCombineType combineOp );
RwMatrix*	RwMatrixTranslate( RwMatrix* matrix, const RwV3d* translation, RwOpCombineType combineOp );
RwMatrix*	RwMatrixTransform( RwMatrix* matrix, const RwMatrix* transform, RwOpCombineType combineOp );

#endif
