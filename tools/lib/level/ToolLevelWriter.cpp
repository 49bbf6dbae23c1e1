#include "tools/lib/level/ToolLevelWriter.h"

#include "datatypes/base/DTByteOrder.h"

#include <bit>

namespace {

constexpr s32 LIST_END_ID = 0;

} // namespace

void ToolLevelWriter::WriteVec2( ToolBigEndianWriter& out, const ToolVec2& v ) {
	for ( const f32 value : v ) {
		out.WriteF32( value );
	}
}

void ToolLevelWriter::WriteVec3( ToolBigEndianWriter& out, const ToolVec3& v ) {
	for ( const f32 value : v ) {
		out.WriteF32( value );
	}
}

void ToolLevelWriter::WriteVec4( ToolBigEndianWriter& out, const ToolVec4& v ) {
	for ( const f32 value : v ) {
		out.WriteF32( value );
	}
}

void ToolLevelWriter::WriteDescriptorHeader( ToolBigEndianWriter& out, const ToolDescriptorHeader& header ) {
	out.WriteU32( header.uid );
	out.WriteS32( header.puid );
	out.WriteS32( header.refPuid );
}

void ToolLevelWriter::WriteContainer( ToolBigEndianWriter& out, std::span<const ToolContainerEntry> entries ) {
	for ( const ToolContainerEntry& entry : entries ) {
		out.WriteS32( entry.classId );
		out.WriteBytes( entry.object );
	}
	out.WriteS32( LIST_END_ID );
}

void ToolLevelWriter::WriteMagicBlock( ToolBigEndianWriter& out, const ToolMagicBlock& block ) {
	out.WriteDataBlock( block.bytes );
}

void ToolLevelWriter::WriteGlo( ToolBigEndianWriter& out, const ToolGloRecord& record ) {
	out.WriteU32( record.uid );
	out.WriteU32( record.gloId );
	out.WriteU32( record.enableBitPos );
	WriteVec3( out, record.position );
	WriteVec3( out, record.lookAt );
	WriteVec3( out, record.lookUp );
	WriteVec3( out, record.lookRight );
	out.WriteU32( record.objectFlags );
	out.WriteU32( record.shadowsFlags );
	WriteContainer( out, record.descriptors );
	out.WriteU32( record.magic.size );
	WriteMagicBlock( out, record.magic );
}

void ToolLevelWriter::WriteHotSpot( ToolBigEndianWriter& out, const ToolHotSpot& hotSpot ) {
	WriteDescriptorHeader( out, hotSpot.header );
	WriteVec3( out, hotSpot.scale );
	out.WriteS32( hotSpot.instanceFlag );
	out.WriteU32( hotSpot.primType );
	out.WriteU32( hotSpot.primitiveTag );
	out.WriteU32( hotSpot.boneID );
	WriteVec3( out, hotSpot.translation );
	out.WriteF32( hotSpot.hardness );
	out.WriteF32( hotSpot.rebound );
	for ( const u32 word : hotSpot.words ) {
		out.WriteU32( word );
	}
	for ( const f32 size : hotSpot.sizes ) {
		out.WriteF32( size );
	}
}

void ToolLevelWriter::WriteLight( ToolBigEndianWriter& out, const ToolLevelLight& light ) {
	WriteDescriptorHeader( out, light.header );
	out.WriteS32( light.lightType );
	WriteVec4( out, light.color );
	out.WriteU32( light.flags );
	out.WriteF32( light.radius );
	out.WriteF32( light.coneAngle );
	WriteVec3( out, light.position );
	WriteVec3( out, light.at );
	WriteVec3( out, light.up );
	WriteVec3( out, light.right );
}

bool ToolLevelWriter::WriteLoadingScreen( ToolBigEndianWriter& out, const ToolLoadingScreen& screen ) {
	ToolBigEndianWriter image;
	WriteDescriptorHeader( image, screen.header );
	if ( !image.WriteString( screen.background ) || !image.WriteString( screen.bar ) ) {
		return false;
	}
	out.WriteBytes( image.Bytes() );
	return true;
}

bool ToolLevelWriter::WriteFonts( ToolBigEndianWriter& out, const ToolFonts& fonts ) {
	WriteDescriptorHeader( out, fonts.header );
	out.WriteU32( fonts.nbChars );
	out.WriteU32( fonts.position0 );
	out.WriteF32( fonts.spaceSize );
	out.WriteF32( fonts.lineHeight );
	out.WriteF32( fonts.interSpace );
	if ( !out.WriteStringArray( fonts.textureNames ) ) {
		return false;
	}
	out.WriteU32( fonts.sizeTextIndexTable );
	if ( fonts.sizeTextIndexTable != 0 ) {
		out.WriteDataBlock( fonts.textIndexTable );
	}
	if ( fonts.nbChars != 0 ) {
		out.WriteDataBlock( fonts.charTable );
	}
	out.WriteDataBlock( fonts.asciiTable );
	return true;
}

void ToolLevelWriter::WriteFontsPalette( ToolBigEndianWriter& out, const ToolFontsPalette& palette ) {
	WriteDescriptorHeader( out, palette.header );
	out.WriteU32( palette.nbColors );
	if ( palette.nbColors != 0 ) {
		out.WriteDataBlock( palette.colorTable );
	}
}

void ToolLevelWriter::WriteTexts( ToolBigEndianWriter& out, const ToolTexts& texts ) {
	WriteDescriptorHeader( out, texts.header );
	out.WriteU32( static_cast<u32>( texts.languages.size() ) );
	out.WriteU32( texts.nbTextes );
	if ( texts.languages.empty() || texts.nbTextes == 0 ) {
		return;
	}
	for ( const ToolTextLanguage& language : texts.languages ) {
		out.WriteDataBlock( language.index );
		out.WriteU32( static_cast<u32>( language.texts.size() ) );
		out.WriteU8( static_cast<u8>( language.separator ) );
		out.WriteDataBlock( language.texts );
	}
}

bool ToolLevelWriter::WritePaletteDictionary( ToolBigEndianWriter& out, const ToolPaletteDictionary& dictionary ) {
	WriteDescriptorHeader( out, dictionary.header );
	// The buffer's size is stored in bytes.
	out.WriteU32( static_cast<u32>( dictionary.paletteBuffer.size() ) );
	out.WriteU32( dictionary.nbStates );
	out.WriteU32( static_cast<u32>( dictionary.entries.size() ) );
	out.WriteDataBlock( dictionary.paletteBuffer );
	for ( const ToolPaletteEntry& entry : dictionary.entries ) {
		if ( !out.WriteString( entry.name ) ) {
			return false;
		}
		out.WriteU8( static_cast<u8>( entry.separator ) );
		out.WriteLongArray( entry.offsets );
	}
	return true;
}

void ToolLevelWriter::WriteParticleContainer( ToolBigEndianWriter& out, const ToolParticleContainer& container ) {
	WriteDescriptorHeader( out, container.header );
	out.WriteS32( container.nb );
	out.WriteU32( container.types.size );
	WriteMagicBlock( out, container.types );
}

void ToolLevelWriter::WriteEmitter( ToolBigEndianWriter& out, const ToolEmitter& emitter ) {
	out.WriteU32( emitter.uid );
	out.WriteS32( emitter.boneId );
	WriteVec3( out, emitter.position );
	WriteVec3( out, emitter.lookAt );
	WriteVec3( out, emitter.lookUp );
	WriteVec3( out, emitter.lookRight );
	out.WriteU32( emitter.block.size );
	WriteMagicBlock( out, emitter.block );
}

void ToolLevelWriter::WriteEmitterContainer( ToolBigEndianWriter& out, const ToolEmitterContainer& container ) {
	WriteDescriptorHeader( out, container.header );
	out.WriteS32( static_cast<s32>( container.emitters.size() ) );
	for ( const ToolEmitter& emitter : container.emitters ) {
		WriteEmitter( out, emitter );
	}
}

void ToolLevelWriter::WriteEmitterContainerSwapped( ToolBigEndianWriter& out, const ToolEmitterContainer& container ) {
	WriteDescriptorHeader( out, container.header );
	WriteLittleU32( out, static_cast<u32>( container.emitters.size() ) );
	for ( const ToolEmitter& emitter : container.emitters ) {
		WriteLittleU32( out, emitter.uid );
		WriteLittleU32( out, static_cast<u32>( emitter.boneId ) );
		for ( const ToolVec3* vector : { &emitter.position, &emitter.lookAt, &emitter.lookUp, &emitter.lookRight } ) {
			for ( const f32 value : *vector ) {
				WriteLittleF32( out, value );
			}
		}
		WriteLittleU32( out, emitter.block.size );
		WriteLittleU32( out, static_cast<u32>( emitter.block.bytes.size() ) );
		out.WriteBytes( emitter.block.bytes );
	}
}

void ToolLevelWriter::WriteLittleU32( ToolBigEndianWriter& out, const u32 value ) {
	u8 bytes[4];
	DTWriteLE32( bytes, value );
	out.WriteBytes( bytes );
}

void ToolLevelWriter::WriteLittleF32( ToolBigEndianWriter& out, const f32 value ) {
	WriteLittleU32( out, std::bit_cast<u32>( value ) );
}
