#include "datatypes/maths/DTMatrix.h"

#include "graphics3d/core/RwMatrixCombine.h"

namespace {

// The library counts elements in a signed word; a larger count is handed
// over in slices.
constexpr u32 LARGEST_SLICE = 0x7FFFFFFF;

} // namespace

void DTMatrix::TransformPoints( const DTVector3d * in, DTVector3d * out, const u32 count ) const {
	u32 done = 0;
	while ( done < count ) {
		const u32 slice = count - done < LARGEST_SLICE ? count - done : LARGEST_SLICE;
		RwV3dTransformPoints( DTAsRwV3d( out + done ), DTAsRwV3d( in + done ), static_cast<s32>( slice ), &oMat );
		done += slice;
	}
}

void DTMatrix::TransformVectors( const DTVector3d * in, DTVector3d * out, const u32 count ) const {
	u32 done = 0;
	while ( done < count ) {
		const u32 slice = count - done < LARGEST_SLICE ? count - done : LARGEST_SLICE;
		RwV3dTransformVectors( DTAsRwV3d( out + done ), DTAsRwV3d( in + done ), static_cast<s32>( slice ), &oMat );
		done += slice;
	}
}

// The transform routine installed by a device need not accept the same
// array in and out, so a single point always goes through a copy.
void DTMatrix::TransformPoint( DTVector3d & point ) const {
	const DTVector3d copy = point;
	RwV3dTransformPoints( DTAsRwV3d( &point ), DTAsRwV3d( &copy ), 1, &oMat );
}

void DTMatrix::TransformPoint( const DTVector3d & in, DTVector3d & out ) const {
	const DTVector3d copy = in;
	RwV3dTransformPoints( DTAsRwV3d( &out ), DTAsRwV3d( &copy ), 1, &oMat );
}

void DTMatrix::Rotate( const DTVector3d & axis, const f32 angle ) {
	const RwV3d position = oMat.pos;
	RwMatrixRotate( &oMat, DTAsRwV3d( &axis ), angle * DT_RADIANS_TO_DEGREES, rwCOMBINEPOSTCONCAT );
	oMat.pos = position;
}

DTMatrix * DTMatrix::CreateMatrix() {
	RwMatrix * const matrix = RwMatrixCreate();
	if ( matrix == nullptr ) {
		return nullptr;
	}
	return DTAsDTMatrix( matrix );
}

void DTMatrix::Destroy() {
	RwMatrixDestroy( &oMat );
}
