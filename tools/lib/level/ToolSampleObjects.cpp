#include "tools/lib/level/ToolSampleObjects.h"

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolAnimBlockWriter.h"
#include "tools/lib/level/ToolAnimCurveWriter.h"
#include "tools/lib/level/ToolHAnimResWriter.h"
#include "tools/lib/level/ToolInstanceWriter.h"
#include "tools/lib/level/ToolLevelWriter.h"
#include "tools/lib/level/ToolModelResourceWriter.h"
#include "tools/lib/level/ToolParticleWriter.h"
#include "tools/lib/logic/ToolSampleLogic.h"

namespace {

// Instance ids by kind (top byte): hot-spot descriptor 0x3f, 3D object
// 0x0f, sound 0x07. Animation nodes are looked up by place, not by kind.
constexpr u32 HOT_SPOT_ID			= 0x3F000001;
constexpr u32 MODEL_ID				= 0x0F000001;
constexpr u32 FIRST_NODE_ID			= 0x4A000001;
constexpr u32 SECOND_NODE_ID		= 0x4A000002;
constexpr u32 SOUND_ID				= 0x07000001;
constexpr u32 BOX_HOT_SPOT_ID		= 0x3F000002;

// Hot-spot primitive type of a box, stored with its three half extents.
constexpr u32 PRIM_BOX				= 2;

// The model object and the template share the sample model.
constexpr u32 MODEL_USERS			= 2;

ToolInstanceDescriptor Descriptor( const s32 classId, const u32 uid ) {
	ToolInstanceDescriptor descriptor;
	descriptor.classId = classId;
	descriptor.header = { uid, -1, -1 };
	return descriptor;
}

ToolInstanceDescriptor ModelDescriptor( const u32 uid ) {
	ToolInstanceDescriptor descriptor = Descriptor( TOOL_CLASS_3D_OBJECT_DESCR, uid );
	descriptor.header.puid = static_cast<s32>( TOOL_SAMPLE_MODEL_RESOURCE_ID );
	return descriptor;
}

// A skeletal node bound to the object's model (by the model's resource
// id), playing the animation of resource id puid (-1: none).
ToolInstanceDescriptor NodeDescriptor( const u32 uid, const s32 puid ) {
	ToolInstanceDescriptor descriptor = Descriptor( TOOL_CLASS_ANIM_NODE_DESCR, uid );
	descriptor.header.puid = puid;
	descriptor.header.refPuid = static_cast<s32>( TOOL_SAMPLE_MODEL_RESOURCE_ID );
	return descriptor;
}

// Curve targets of a joint.
constexpr u32 TARGET_SCALE_Y		= 1;
constexpr u32 TARGET_TRANSLATION_Y	= 4;
constexpr u32 TARGET_ROTATION_Y		= 7;

ToolGloRecord ObjectNamed( const u32 uid, const u32 code ) {
	ToolGloRecord record;
	record.uid = uid;
	record.gloId = code;
	return record;
}

// An object that is a box collision shape through its hot spot, centred
// height above the object.
ToolGloRecord HotSpotObject( const u32 uid, const u32 hotSpotId, const u32 code, const ToolVec3& position,
							 const f32 height, const std::vector<f32>& halfExtents, const std::array<u32, 11>& words ) {
	ToolHotSpot hotSpot;
	hotSpot.header = { hotSpotId, -1, -1 };
	hotSpot.primType = PRIM_BOX;
	hotSpot.translation = { 0.0f, height, 0.0f };
	hotSpot.sizes = halfExtents;
	hotSpot.words = words;
	ToolGloRecord record = ObjectNamed( uid, code );
	record.position = position;
	record.descriptors = { ToolInstanceWriter::Entry( hotSpot ) };
	return record;
}

}

ToolGloRecord ToolSampleHotSpotObject( const u32 code ) {
	// A box of half extents (0.5, 1, 0.5) one unit up; environment
	// collisions on; type, detect and environment detect 1.
	return HotSpotObject( TOOL_SAMPLE_HOT_SPOT_OBJECT_ID, HOT_SPOT_ID, code, { 4.0f, 0.0f, 2.0f }, 1.0f,
						  { 0.5f, 1.0f, 0.5f }, { 0x1, 0x1, 0x1, 0, 0, 0x1, 0, 0, 0, 0, 0 } );
}

ToolGloRecord ToolSampleBoxObject( const u32 code ) {
	// A unit box standing on the object's origin, which is on the floor;
	// environment collisions on; type, detect and environment detect 1,
	// so that it meets the hot spot's box when logic moves it there.
	return HotSpotObject( TOOL_SAMPLE_BOX_OBJECT_ID, BOX_HOT_SPOT_ID, code, { 0.0f, 0.0f, -4.0f }, 0.5f,
						  { 0.5f, 0.5f, 0.5f }, { 0x1, 0x1, 0x1, 0, 0, 0x1, 0, 0, 0, 0, 0 } );
}

ToolGloRecord ToolSampleModelObject( const u32 code ) {
	ToolInstanceDescriptor sound = Descriptor( TOOL_CLASS_SOUND_DESCR, SOUND_ID );
	sound.index = 0;

	ToolGloRecord record = ObjectNamed( TOOL_SAMPLE_MODEL_OBJECT_ID, code );
	record.position = { -2.0f, 0.0f, 6.0f };
	// A drop-down shadow with the default texture.
	record.objectFlags = TOOL_SAMPLE_MODEL_LOGIC_FLAGS;
	record.descriptors = {
		ToolInstanceWriter::Entry( ModelDescriptor( MODEL_ID ) ),
		ToolInstanceWriter::Entry( NodeDescriptor( FIRST_NODE_ID, static_cast<s32>( TOOL_SAMPLE_ANIMATION_RESOURCE_ID ) ) ),
		ToolInstanceWriter::Entry( sound ),
		ToolInstanceWriter::Entry( NodeDescriptor( SECOND_NODE_ID, -1 ) ),
	};
	record.magic.size = 8;
	record.magic.bytes = { 0x53, 0x41, 0x4D, 0x50, 0x4C, 0x45, 0x00, 0x01 };
	return record;
}

ToolGloRecord ToolSampleSurfaceObject( const ToolSampleSurface& surface, const u32 code ) {
	ToolInstanceDescriptor grid = Descriptor( surface.descriptorClass, surface.gridId );
	grid.header.puid = static_cast<s32>( surface.resourceId );
	ToolGloRecord record = ObjectNamed( surface.objectId, code );
	record.position = surface.corner;
	record.descriptors = { ToolInstanceWriter::Entry( grid ) };
	return record;
}

ToolGloRecord ToolSampleTemplate( const u32 code ) {
	ToolGloRecord record = ObjectNamed( TOOL_SAMPLE_TEMPLATE_ID, code );
	record.descriptors = { ToolInstanceWriter::Entry( ModelDescriptor( TOOL_SAMPLE_TEMPLATE_MODEL_ID ) ) };
	return record;
}

ToolHAnimRes ToolSampleAnimation() {
	const f32 duration = TOOL_SAMPLE_ANIMATION_DURATION;
	ToolAnimBlock block;
	block.duration = duration;
	for ( u32 joint = 0; joint < 3; joint++ ) {
		block.tracks.push_back( { joint, 0, { { 0, 0 } } } );
	}
	block.tracks[0].entries[0].target = TARGET_ROTATION_Y;
	block.tracks[1].entries[0].target = TARGET_TRANSLATION_Y;
	block.tracks[2].entries[0].target = TARGET_SCALE_Y;
	// A whole turn per loop.
	ToolCurve turn = ToolAnimCurveWriter::Linear( 0.0f, duration, 0.0f, 6.2831855f );
	turn.preInfinity = turn.postInfinity = TOOL_CURVE_CYCLE;
	// Up half a unit and down again, compressed.
	ToolCurve bounce;
	bounce.kind = TOOL_CURVE_COMPRESSED;
	bounce.start = 0.0f;
	bounce.end = duration;
	bounce.preInfinity = bounce.postInfinity = TOOL_CURVE_CYCLE;
	bounce.keys = { { 1.0f, 0.0f, -0.5f, 1.0f, 0.0f }, { 2.0f, 0.0f, 0.5f, -1.0f, 0.5f } };
	// Swells to 1.5 and back, swinging.
	ToolCurve pulse = ToolAnimCurveWriter::Linear( 0.0f, duration / 2.0f, 1.0f, 1.5f );
	pulse.preInfinity = pulse.postInfinity = TOOL_CURVE_OSCILLATE;
	block.tracks[0].entries[0].offset = ToolAnimCurveWriter::AppendCurve( block, turn );
	block.tracks[1].entries[0].offset = ToolAnimCurveWriter::AppendCurve( block, bounce );
	block.tracks[2].entries[0].offset = ToolAnimCurveWriter::AppendCurve( block, pulse );
	ToolHAnimRes resource;
	resource.id = TOOL_SAMPLE_ANIMATION_RESOURCE_ID;
	resource.users = 1;
	resource.block = ToolAnimBlockWriter::Encode( block );
	resource.commands = { { duration / 2.0f, TOOL_SAMPLE_ANIMATION_COMMAND, TOOL_SAMPLE_ANIMATION_PARAMETER } };
	return resource;
}

std::vector<ToolResourceRecord> ToolSampleObjectRecords( const u32 code ) {
	const ToolGloRecord objects[] = { ToolSampleHotSpotObject( code ),
									  ToolSampleModelObject( code ),
									  ToolSampleTemplate( code ),
									  ToolSampleBoxObject( code ),
									  ToolSampleSurfaceObject( TOOL_SAMPLE_WATER, code ),
									  ToolSampleSurfaceObject( TOOL_SAMPLE_FOG, code ) };
	std::vector<ToolResourceRecord> records;
	ToolBigEndianWriter model;
	ToolModelResource sampleModel = ToolSampleModel( TOOL_SAMPLE_MODEL_RESOURCE_ID, MODEL_USERS );
	sampleModel.emitters = ToolModelResourceWriter::Emitters( ToolParticleWriter::SampleModelEmitters() );
	ToolModelResourceWriter::Write( model, sampleModel );
	records.push_back( { 0, 0, TOOL_CLASS_3D_OBJECT_RES, model.Take() } );
	records.push_back( { 0, 0, TOOL_CLASS_HANIM_RES, ToolHAnimResWriter::Encode( ToolSampleAnimation() ) } );
	for ( const ToolSampleSurface* surface : { &TOOL_SAMPLE_WATER, &TOOL_SAMPLE_FOG } ) {
		records.push_back( { 0, 0, TOOL_CLASS_3D_OBJECT_RES,
							 ToolModelResourceWriter::Record(
								 ToolQuadModel( surface->resourceId, surface->width, surface->depth, surface->colour ) ) } );
	}
	for ( const ToolGloRecord& object : objects ) {
		ToolBigEndianWriter out;
		ToolLevelWriter::WriteGlo( out, object );
		ToolResourceRecord record;
		record.classId = TOOL_CLASS_GAME_OBJECT;
		record.object = out.Take();
		records.push_back( std::move( record ) );
	}
	return records;
}
