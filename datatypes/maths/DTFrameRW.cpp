#include "datatypes/maths/DTFrame.h"

void * DTFrame::operator new( std::size_t ) noexcept {
	return RwFrameCreate();
}

void DTFrame::operator delete( void * frame ) noexcept {
	if ( frame == nullptr ) {
		return;
	}
	RwFrameDestroy( static_cast<RwFrame *>( frame ) );
}

void DTFrame::Terminate() {
}

DTMatrix * DTFrame::GetWMatrix() {
	return DTAsDTMatrix( RwFrameGetLTM( &moFrame ) );
}

void DTFrame::Rotate( const DTVector3d & axis, const f32 angle ) {
	const RwV3d position = moFrame.modelling.pos;
	RwFrameRotate( &moFrame, DTAsRwV3d( &axis ), angle * DT_RADIANS_TO_DEGREES, rwCOMBINEPOSTCONCAT );
	moFrame.modelling.pos = position;
}

void DTFrame::SetRotation( const DTVector3d & axis, const f32 angle ) {
	const RwV3d position = moFrame.modelling.pos;
	RwFrameRotate( &moFrame, DTAsRwV3d( &axis ), angle * DT_RADIANS_TO_DEGREES, rwCOMBINEREPLACE );
	moFrame.modelling.pos = position;
}
