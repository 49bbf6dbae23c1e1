/*
===============================================================================

	Transform matrix of the engine, stored exactly as the 3D library's
	matrix so that both sides hand matrices to each other without copying.

	Rows are the images of the x, y and z axes and the translation: a point
	p maps to p.x * right + p.y * up + p.z * at + pos (row vectors). Angles
	are in radians here; the library takes degrees.

	mpoWork and mpoWorkIn are two scratch matrices that the graphics
	manager creates when it starts (setting bInit) and destroys when it
	ends. Many callers use mpoWork within one call; nothing locks it.

	The rotation, transform, creation and destruction bodies call the
	library and live in DTMatrixRW.cpp.

===============================================================================
*/
#ifndef DT_MATRIX_H
#define DT_MATRIX_H

#include "datatypes/maths/DTMatrixLine.h"
#include "datatypes/maths/DTVector3d.h"
#include "graphics3d/core/RwMatrix.h"

// Radians to the library's degrees (180 / pi as a float).
constexpr f32 DT_RADIANS_TO_DEGREES = 57.29578f;

class DTMatrix {
public:
	RwMatrix				oMat;

	static DTMatrix *		mpoWork;
	static DTMatrix *		mpoWorkIn;
	static u8				bInit;

	// The rotation about x, then y, then z by the angles of euler; flags
	// and pos are left as they are.
	void					SetToRotation( const DTVector3d & euler );

	// count points (translation applied) or directions (without) of in
	// through the library's array transforms into out.
	void					TransformPoints( const DTVector3d * in, DTVector3d * out, const u32 count ) const;
	void					TransformVectors( const DTVector3d * in, DTVector3d * out, const u32 count ) const;
	// One point, in place or into out (out may be in).
	void					TransformPoint( DTVector3d & point ) const;
	void					TransformPoint( const DTVector3d & in, DTVector3d & out ) const;

	// Post-concatenates the rotation about axis by angle radians; the
	// position stays exactly what it was.
	void					Rotate( const DTVector3d & axis, const f32 angle );

	DTVector3d *			GetRight() { return reinterpret_cast<DTVector3d *>( &oMat.right ); }
	DTVector3d *			GetUp() { return reinterpret_cast<DTVector3d *>( &oMat.up ); }
	DTVector3d *			GetAt() { return reinterpret_cast<DTVector3d *>( &oMat.at ); }
	DTVector3d *			GetPos() { return reinterpret_cast<DTVector3d *>( &oMat.pos ); }
	const DTVector3d *		GetRight() const { return reinterpret_cast<const DTVector3d *>( &oMat.right ); }
	const DTVector3d *		GetUp() const { return reinterpret_cast<const DTVector3d *>( &oMat.up ); }
	const DTVector3d *		GetAt() const { return reinterpret_cast<const DTVector3d *>( &oMat.at ); }
	const DTVector3d *		GetPos() const { return reinterpret_cast<const DTVector3d *>( &oMat.pos ); }

	// A new identity matrix of the library, or null.
	static DTMatrix *		CreateMatrix();
	// Hands this matrix back to the library.
	void					Destroy();
};

static_assert( sizeof( DTMatrix ) == sizeof( RwMatrix ), "DTMatrix must be exactly the library matrix" );
static_assert( offsetof( DTMatrix, oMat ) == 0, "DTMatrix must start with the library matrix" );
static_assert( offsetof( RwMatrix, right ) == 0 && offsetof( RwMatrix, flags ) == 12 && offsetof( RwMatrix, up ) == 16 &&
				   offsetof( RwMatrix, pad1 ) == 28 && offsetof( RwMatrix, at ) == 32 && offsetof( RwMatrix, pad2 ) == 44 &&
				   offsetof( RwMatrix, pos ) == 48 && offsetof( RwMatrix, pad3 ) == 60,
			   "matrix rows must be four DTMatrixLine records" );

inline RwMatrix * DTAsRwMatrix( DTMatrix * m ) { return &m->oMat; }
inline const RwMatrix * DTAsRwMatrix( const DTMatrix * m ) { return &m->oMat; }
inline DTMatrix * DTAsDTMatrix( RwMatrix * m ) { return reinterpret_cast<DTMatrix *>( m ); }

#endif
