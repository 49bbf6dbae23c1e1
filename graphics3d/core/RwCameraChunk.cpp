#include "graphics3d/core/RwCameraChunk.h"

#include "graphics3d/core/RwStream.h"

#include "datatypes/base/DTByteOrder.h"

// Byte offsets in the camera record.
static const u32 RECORD_VIEW_WINDOW		= 0;
static const u32 RECORD_VIEW_OFFSET		= 8;
static const u32 RECORD_NEAR			= 16;
static const u32 RECORD_FAR				= 20;
static const u32 RECORD_FOG				= 24;
static const u32 RECORD_PROJECTION		= 28;

RwCamera* RwCameraStreamRead( RwStream* stream ) {
	u32 length = 0;
	if ( !RwStreamFindChunk( stream, rwID_STRUCT, &length, nullptr ) ) {
		return nullptr;
	}
	u8 record[RWCAMERA_CHUNK_RECORD_BYTES] = {};
	const u32 kept = length < RWCAMERA_CHUNK_RECORD_BYTES ? length : RWCAMERA_CHUNK_RECORD_BYTES;
	if ( RwStreamRead( stream, record, kept ) != kept ) {
		return nullptr;
	}
	if ( length > kept && RwStreamSkip( stream, length - kept ) == nullptr ) {
		return nullptr;
	}
	const RwV2d viewWindow = { DTReadLEF32( record + RECORD_VIEW_WINDOW ), DTReadLEF32( record + RECORD_VIEW_WINDOW + 4 ) };
	const RwV2d viewOffset = { DTReadLEF32( record + RECORD_VIEW_OFFSET ), DTReadLEF32( record + RECORD_VIEW_OFFSET + 4 ) };
	const f32 nearPlane = DTReadLEF32( record + RECORD_NEAR );
	const f32 farPlane = DTReadLEF32( record + RECORD_FAR );
	const f32 fogPlane = DTReadLEF32( record + RECORD_FOG );
	const u32 projection = DTReadLE32( record + RECORD_PROJECTION );

	RwCamera* const camera = RwCameraCreate();
	if ( camera == nullptr ) {
		return nullptr;
	}
	if ( _rwPluginRegistryReadDataChunks( &cameraTKList, stream, camera ) == nullptr ) {
		RwCameraDestroy( camera );
		return nullptr;
	}
	RwCameraSetViewWindow( camera, &viewWindow );
	RwCameraSetViewOffset( camera, &viewOffset );
	RwCameraSetNearClipPlane( camera, nearPlane );
	RwCameraSetFarClipPlane( camera, farPlane );
	camera->fogPlane = fogPlane;
	RwCameraSetProjection( camera, static_cast<RwCameraProjection>( projection ) );
	return camera;
}
