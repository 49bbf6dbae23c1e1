/*
===============================================================================

	Transform frame of a positioned instance, stored exactly as the 3D
	library's frame.

	A DTFrame is never built in place: operator new hands out a frame the
	library created (null when its free list cannot grow, in which case the
	new-expression gives null and no constructor runs) and operator delete
	gives it back. The constructor therefore does nothing and the member is
	trivially default-constructible, so that nothing overwrites what the
	library initialised. GCC would still treat the storage as dead when the
	constructor starts and drop the library's stores once it can see them;
	the project builds with -flifetime-dse=1 to keep them.

	Angles are in radians. Rotations keep the modelling position exactly.
	The library bodies live in DTFrameRW.cpp.

===============================================================================
*/
#ifndef DT_FRAME_H
#define DT_FRAME_H

#include "datatypes/maths/DTMatrix.h"
#include "graphics3d/core/RwFrame.h"

#include <cstddef>
#include <type_traits>

class DTFrame {
public:
	RwFrame					moFrame;

	// The size is ignored: the storage is a frame of the library.
	static void *			operator new( std::size_t size ) noexcept;
	static void				operator delete( void * frame ) noexcept;

	// Leaves the library's frame as it is.
							DTFrame() {}
							~DTFrame() = default;
							DTFrame( const DTFrame & ) = delete;
	DTFrame &				operator=( const DTFrame & ) = delete;

	// Nothing to release: called by the resources manager's terminate.
	static void				Terminate();

	// The world matrix, brought up to date first when the hierarchy is due.
	DTMatrix *				GetWMatrix();

	// Post-concatenates the rotation about axis by angle radians to the
	// modelling matrix; the modelling position stays.
	void					Rotate( const DTVector3d & axis, const f32 angle );
	// The modelling rotation becomes exactly that rotation; the position
	// stays.
	void					SetRotation( const DTVector3d & axis, const f32 angle );

	RwFrame *				GetRwFrame() { return &moFrame; }
};

static_assert( sizeof( DTFrame ) == sizeof( RwFrame ), "DTFrame must be exactly the library frame" );
static_assert( offsetof( DTFrame, moFrame ) == 0, "DTFrame must start with the library frame" );
static_assert( std::is_trivially_default_constructible_v<RwFrame>, "the frame member must need no initialisation" );
static_assert( std::is_trivially_destructible_v<DTFrame>, "destroying a DTFrame must leave the frame to the library" );

#endif
