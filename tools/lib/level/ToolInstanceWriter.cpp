#include "tools/lib/level/ToolInstanceWriter.h"

#include "tools/lib/level/ToolLevelWriter.h"

bool ToolInstanceWriter::WriteDescriptor( ToolBigEndianWriter& out, const ToolInstanceDescriptor& descriptor ) {
	ToolBigEndianWriter body;
	switch ( descriptor.classId ) {
	case TOOL_CLASS_STATIC_3D_OBJECT_DESCR:
	case TOOL_CLASS_MORPH_ANIM_DESCR:
	case TOOL_CLASS_HANIMATION_DESCR:
	case TOOL_CLASS_LIGHT_ANIM_DESCR:
	case TOOL_CLASS_CAMERA_ANIM_DESCR:
		ToolLevelWriter::WriteDescriptorHeader( body, descriptor.header );
		break;
	case TOOL_CLASS_3D_OBJECT_DESCR:
	case TOOL_CLASS_WATER_GRID_DESCR:
	case TOOL_CLASS_GROUND_FOG_GRID_DESCR:
		ToolLevelWriter::WriteDescriptorHeader( body, descriptor.header );
		ToolLevelWriter::WriteVec3( body, descriptor.scale );
		body.WriteS32( descriptor.instanceFlag );
		break;
	case TOOL_CLASS_SOUND_DESCR:
	case TOOL_CLASS_SOUND_CONTAINER_DESCR:
		ToolLevelWriter::WriteDescriptorHeader( body, descriptor.header );
		body.WriteS32( descriptor.index );
		break;
	case TOOL_CLASS_ANIM_NODE_DESCR:
		ToolLevelWriter::WriteDescriptorHeader( body, descriptor.header );
		body.WriteLongArray( descriptor.soundEventIds );
		break;
	case TOOL_CLASS_TEXTURE_ANIM_DESCR:
		ToolLevelWriter::WriteDescriptorHeader( body, descriptor.header );
		if ( !body.WriteString( descriptor.textureFileName ) ) {
			return false;
		}
		break;
	case TOOL_CLASS_CAMERA_DESCR:
	case TOOL_CLASS_INVISIBLE_DESCR:
		ToolLevelWriter::WriteDescriptorHeader( body, descriptor.header );
		ToolLevelWriter::WriteVec3( body, descriptor.position );
		ToolLevelWriter::WriteVec3( body, descriptor.lookAt );
		ToolLevelWriter::WriteVec3( body, descriptor.lookUp );
		ToolLevelWriter::WriteVec3( body, descriptor.lookRight );
		break;
	case TOOL_CLASS_LIGHT_DESCR: {
		ToolLevelLight light = descriptor.light;
		light.header = descriptor.header;
		ToolLevelWriter::WriteLight( body, light );
		break;
	}
	default:
		return false;
	}
	out.WriteBytes( body.Bytes() );
	return true;
}

ToolContainerEntry ToolInstanceWriter::Entry( const ToolInstanceDescriptor& descriptor ) {
	ToolBigEndianWriter body;
	WriteDescriptor( body, descriptor );
	return ToolContainerEntry{ descriptor.classId, body.Bytes() };
}

ToolContainerEntry ToolInstanceWriter::Entry( const ToolHotSpot& hotSpot ) {
	ToolBigEndianWriter body;
	ToolLevelWriter::WriteHotSpot( body, hotSpot );
	return ToolContainerEntry{ TOOL_CLASS_HOT_SPOT, body.Bytes() };
}

bool ToolInstanceWriter::WriteAudioEnv( ToolBigEndianWriter& out, const ToolAudioEnv& record ) {
	for ( const std::string& name : record.names ) {
		if ( name.size() > TOOL_AUDIO_ENV_NAME_MAX ) {
			return false;
		}
	}
	ToolBigEndianWriter body;
	for ( const u32 value : record.values ) {
		body.WriteU32( value );
	}
	for ( const std::string& name : record.names ) {
		if ( !body.WriteString( name ) ) {
			return false;
		}
	}
	out.WriteBytes( body.Bytes() );
	return true;
}
